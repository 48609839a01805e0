#include "control/rinex_job.h"

#include <algorithm>

#include "control/classify.h"
#include "control/common_block.h"
#include "control/day_inputs.h"
#include "control/receiver_dcb.h"
#include "geodesy/time.h"
#include "gnss/day_reading.h"
#include "gnss/tec/raw_analyse.h"

namespace velarix {

namespace {

void showStatus(const DayEnvironment& environment, StatusLine line, const std::string& text) {
    if (environment.window != nullptr) environment.window->setStatus(line, text);
}

// The input's details, from its name, into the context; the day is a RINEX day whatever
// the name says.
void describeInput(const DayRequest& request, const InputFileInfo& info, DayJob& job) {
    CurrentFileContext& c = job.context;
    c.inputPath = request.inputPath;
    c.dataDirectory = request.dataDirectory;
    c.productDirectory = request.targetDirectory;
    c.stationCode = info.stationCode;
    c.session = info.hour;
    c.year = info.year;
    c.month = info.month;
    c.dayOfMonth = info.day;
    c.dayOfYear = info.dayOfYear;
    setInputKindFlags(job.kinds, info);
    job.kinds.rinexObs = 1;
}

// The instant the input's name gives, as an MJD.
double dayInstantMjd(const InputFileInfo& info) {
    return MjdFromCivil(info.year, info.month, info.day, std::max(info.hour, 0), std::max(info.minute, 0),
                        info.seconds);
}

// The day's observation files in plain form; a file that does not expand is left out
// when the day has others.
int expandObservations(const DayRequest& request, ExpandedFiles& copies, DayFiles& files, RunLog& log) {
    int failure = kRinexDayNoInput;
    for (const std::string& path : request.observationFiles) {
        std::string plain;
        const int result = decompressInput(path, rinexCompressionCode(classify(path)), request.workDirectory, copies,
                                           plain, log);
        if (result == kRinexDayDone) {
            files.observationPaths.push_back(plain);
        } else {
            failure = result;
        }
    }
    return files.observationPaths.empty() ? failure : kRinexDayDone;
}

RinexDayResult readResult(int result) {
    switch (result) {
        case kDayRead: return kRinexDayDone;
        case kDayNavigationFailed: return kRinexDayNoNavigation;
        case kDayNoStationPosition: return kRinexDayNoStationPosition;
        default: return kRinexDayObservationFailed;
    }
}

}  // namespace

const char* rinexDayResultText(RinexDayResult result) {
    switch (result) {
        case kRinexDayDone: return "done";
        case kRinexDayExpandFailed: return "an observation file could not be expanded";
        case kRinexDayCompactFailed: return "a Compact RINEX file could not be decoded";
        case kRinexDayNoInput: return "no observation file with a dated name";
        case kRinexDayNoNavigation:
            return "the navigation file could not be read, or holds no current ephemeris for the observations";
        case kRinexDayNoDcb: return "no DCB file for the month";
        case kRinexDayObservationFailed: return "the observation file could not be read";
        case kRinexDayNoStationPosition: return "no station position: not listed, not in the header, and the solution failed";
        case kRinexDayTooFewSatellites: return "observations of fewer than 4 satellites";
        case kRinexDayRxBiasOutOfBounds: return "the receiver bias is out of bounds";
        case kRinexDayNoTec: return "no TEC record: no satellite had a current ephemeris and usable observations";
        case kRinexDayOutputsFailed: return "the products could not be written";
    }
    return "unknown failure";
}

RinexDayResult RunRinexDay(const DayRequest& request, const DayEnvironment& environment, DayJob& job, RunLog& log,
                           std::vector<std::string>* written) {
    job.beginFile(request.inputPath);
    job.mapping = environment.options.mapping;
    const InputFileInfo info = classify(request.inputPath);
    describeInput(request, info, job);
    if (request.observationFiles.empty() || (!request.given && info.year < 0)) {
        log.say("\r\nError! no observation file with a dated name to process: " + request.inputPath + "\r\n");
        return kRinexDayNoInput;
    }

    // The expanded copies live until the day is read.
    ExpandedFiles copies;
    DayFiles files;
    if (const int expanded = expandObservations(request, copies, files, log); expanded != kRinexDayDone) {
        return static_cast<RinexDayResult>(expanded);
    }
    job.context.decompressedInputPath = files.observationPaths.back();
    job.context.filled = true;
    showStatus(environment, StatusLine::Input, "Input: " + request.inputPath);
    showStatus(environment, StatusLine::Title, "Reading rinex file.. wait!!");

    TakeCataloguePosition(environment, job);
    const int located = request.given ? expandGivenFiles(*request.given, request.workDirectory, copies, files, log)
                                      : locateNavAndDcb(request, environment, dayInstantMjd(info), copies, files, log);
    if (located != kRinexDayDone) return static_cast<RinexDayResult>(located);
    const RinexDayResult read = readResult(ReadDayFiles(job, files, log));
    copies.clear();
    if (read != kRinexDayDone) return read;

    showStatus(environment, StatusLine::Title, "All files read! Now processing data.. wait");
    CommonBlockSteps steps;
    steps.observedSatellites = job.obs.bySatellite.size();
    steps.fewSatellitesText = "Info3! insufficient no. of raw-data PRNs to analyze\r\n";
    // Nothing after the TEC reads the observation table: it is given back as the TEC grows.
    steps.deriveTec = [](DayJob& day, RunLog& dayLog) {
        return RawAnalyse(day, dayLog, {}, ObservationsAfterTec::kReleased);
    };
    steps.lastStage = request.lastStage;
    steps.bias.calibration = environment.options.calibration;
    if (steps.bias.calibration == Calibration::kDcb && request.lastStage != DayStage::kTec) {
        steps.bias.receiverDcb = FindReceiverDcb(job, request.dataDirectory, log);
    }
    const RinexDayResult common = RunCommonBlock(job, environment, steps, log, written);
    if (common != kRinexDayDone) log.say("\r\nInfo! errors in Common Block process... \r\n");
    return common;
}

}  // namespace velarix
