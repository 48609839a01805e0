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

// The day's observation files read into the job ahead of its navigation and DCB files, a
// compressed one as it is decoded; the messages of each read wait in `files` for their
// place in the log. A file that does not decode is left out when the day has others: the
// tables are read again without it.
RinexDayResult readObservationsAhead(const DayRequest& request, DayJob& job, DayFiles& files, RunLog& log) {
    RinexDayResult failure = RinexDayResult::kNoInput;
    std::vector<std::string> kept;
    for (const std::string& path : request.observationFiles) {
        ObservationRead read;
        const RinexDayResult result = readObservationInput(path, rinexCompressionCode(classify(path)), job, read, log);
        if (result == RinexDayResult::kDone) {
            files.observationsRead.push_back(std::move(read));
            kept.push_back(path);
            continue;
        }
        failure = result;
        job.obs.clear();
        job.obsHeader.reset();
        for (const std::string& again : kept) {
            RunLog unused;
            ObservationRead repeated;
            (void)readObservationInput(again, rinexCompressionCode(classify(again)), job, repeated, unused);
        }
    }
    if (kept.empty()) return failure;
    job.context.decompressedInputPath = kept.back();
    return RinexDayResult::kDone;
}

RinexDayResult readResult(DayReadResult result) {
    switch (result) {
        case DayReadResult::kRead: return RinexDayResult::kDone;
        case DayReadResult::kNavigationFailed: return RinexDayResult::kNoNavigation;
        case DayReadResult::kNoStationPosition: return RinexDayResult::kNoStationPosition;
        case DayReadResult::kObservationFailed: break;
    }
    return RinexDayResult::kObservationFailed;
}

}  // namespace

const char* rinexDayResultText(RinexDayResult result) {
    switch (result) {
        case RinexDayResult::kDone: return "done";
        case RinexDayResult::kExpandFailed: return "an observation file could not be expanded";
        case RinexDayResult::kCompactFailed: return "a Compact RINEX file could not be decoded";
        case RinexDayResult::kNoInput: return "no observation file with a dated name";
        case RinexDayResult::kNoNavigation:
            return "the navigation file could not be read, or holds no current ephemeris for the observations";
        case RinexDayResult::kNoDcb: return "no DCB file for the month";
        case RinexDayResult::kObservationFailed: return "the observation file could not be read";
        case RinexDayResult::kNoStationPosition:
            return "no station position: not listed, not in the header, and the solution failed";
        case RinexDayResult::kTooFewSatellites: return "observations of fewer than 4 satellites";
        case RinexDayResult::kRxBiasOutOfBounds: return "the receiver bias is out of bounds";
        case RinexDayResult::kNoTec:
            return "no TEC record: no satellite had a current ephemeris and usable observations";
        case RinexDayResult::kOutputsFailed: return "the products could not be written";
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
        return RinexDayResult::kNoInput;
    }

    showStatus(environment, StatusLine::Input, "Input: " + request.inputPath);
    showStatus(environment, StatusLine::Title, "Reading rinex file.. wait!!");
    DayFiles files;
    if (const RinexDayResult read = readObservationsAhead(request, job, files, log); read != RinexDayResult::kDone) {
        return read;
    }
    job.context.filled = true;
    // The expanded navigation and DCB files live until the day is read.
    ExpandedFiles copies;

    TakeCataloguePosition(environment, job);
    const RinexDayResult located = request.given
                                       ? expandGivenFiles(*request.given, request.workDirectory, copies, files, log)
                                       : locateNavAndDcb(request, environment, dayInstantMjd(info), copies, files, log);
    if (located != RinexDayResult::kDone) return located;
    const RinexDayResult read = readResult(ReadDayFiles(job, files, log));
    copies.clear();
    if (read != RinexDayResult::kDone) return read;

    showStatus(environment, StatusLine::Title, "All files read! Now processing data.. wait");
    CommonBlockSteps steps;
    steps.observedSatellites = job.obs.bySatellite.size();
    steps.fewSatellitesText = "Info3! insufficient no. of raw-data PRNs to analyze\r\n";
    // Nothing after the TEC reads the observation table: it is given back as the TEC grows.
    steps.deriveTec = [](DayJob& day, RunLog& dayLog) {
        return statusCode(RawAnalyse(day, dayLog, {}, ObservationsAfterTec::kReleased));
    };
    steps.lastStage = request.lastStage;
    steps.bias.calibration = environment.options.calibration;
    if (steps.bias.calibration == Calibration::kDcb && request.lastStage != DayStage::kTec) {
        steps.bias.receiverDcb = FindReceiverDcb(job, request.dataDirectory, log);
    }
    const RinexDayResult common = RunCommonBlock(job, environment, steps, log, written);
    if (common != RinexDayResult::kDone) log.say("\r\nInfo! errors in Common Block process... \r\n");
    return common;
}

}  // namespace velarix
