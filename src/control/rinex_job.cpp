#include "control/rinex_job.h"

#include <algorithm>

#include "control/classify.h"
#include "control/day_inputs.h"
#include "control/day_outputs.h"
#include "geodesy/time.h"
#include "gnss/bias/bias_estimation.h"
#include "gnss/day_reading.h"
#include "gnss/s4/s4_stage.h"
#include "gnss/tec/raw_analyse.h"
#include "platform/strfmt.h"

namespace {

constexpr std::size_t kMinSatellites = 4;

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

// The station list's position, the first of the sources (the header's replaces it).
void takeCataloguePosition(const DayEnvironment& environment, DayJob& job) {
    if (environment.stations == nullptr) return;
    const StationInfo* station = findStation(*environment.stations, job.context.stationCode);
    if (station == nullptr) return;
    CurrentFileContext& c = job.context;
    c.station = station;
    c.stationKnown = true;
    job.station.setFromGeodetic(station->latitude, station->longitude, station->altitude);
    c.latitudeDeg = job.station.latitude_deg;
    c.longitudeDeg = job.station.longitude_deg;
    c.altitude = job.station.height_m;
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

bool holdsTec(const TecTable& tec) {
    return std::any_of(tec.begin(), tec.end(), [](const auto& entry) { return !entry.second.empty(); });
}

// TEC, S4, biases, summary, then the plots and products, as far as `lastStage`.
RinexDayResult runCommonBlock(DayJob& job, const DayEnvironment& environment, DayStage lastStage, RunLog& log,
                              std::vector<std::string>* written) {
    const std::string savedTitle =
        environment.window != nullptr ? environment.window->statusText(StatusLine::Title) : std::string();
    if (job.obs.bySatellite.size() < kMinSatellites) {
        log.say("Info3! insufficient no. of raw-data PRNs to analyze\r\n");
        return kRinexDayTooFewSatellites;
    }
    const int derived = RawAnalyse(job, log);
    if (derived != 0) {
        log.say(strfmt("\r\nSome errors in observation processing... err = %d \r\n", derived));
        return kRinexDayNoTec;
    }
    if (!holdsTec(job.tec)) {
        log.say("\r\nError! no TEC derived: no satellite has both a current ephemeris and the observables for TEC\r\n");
        return kRinexDayNoTec;
    }
    log.refresh();
    if (lastStage == DayStage::kTec) return kRinexDayDone;

    GetS4(job, S4Config{environment.programDir, environment.options.s4ArchiveRoots}, log);
    if ((job.dcb.loaded & DcbTable::kP1p2Loaded) == 0) {
        log.append(job.dcb.loaded == 0 ? "\r\nWarning! no usable DCB file: every satellite bias is zero\r\n"
                                       : "\r\nWarning! no usable P1-P2 DCB file: every satellite bias is zero\r\n");
    }
    const int biases = EstimateBiases(job, log);
    if (biases == kBiasFewValues) {
        log.say(strfmt("\r\nError! Rx bais out of bounds (extreme TEC values code= %d or few TEC points)\r\n", biases));
        return kRinexDayRxBiasOutOfBounds;
    }
    if (biases != kBiasesApplied) log.say(strfmt("\r\nSome errors in receiver bais processing... err = %d \r\n", biases));
    log.say(biasSummaryText(job));
    if (lastStage == DayStage::kCalibrated) return kRinexDayDone;

    showStatus(environment, StatusLine::Title, "Writing output file(s).. wait");
    const int outputs = writeDayOutputs(job, environment, log, written);
    showStatus(environment, StatusLine::Title, savedTitle);
    if (outputs != 0) return kRinexDayOutputsFailed;
    log.say("\r\nEnd of common process...........\r\n");
    return kRinexDayDone;
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

    takeCataloguePosition(environment, job);
    const int located = request.given ? expandGivenFiles(*request.given, request.workDirectory, copies, files, log)
                                      : locateNavAndDcb(request, environment, dayInstantMjd(info), copies, files, log);
    if (located != kRinexDayDone) return static_cast<RinexDayResult>(located);
    const RinexDayResult read = readResult(ReadDayFiles(job, files, log));
    copies.clear();
    if (read != kRinexDayDone) return read;

    showStatus(environment, StatusLine::Title, "All files read! Now processing data.. wait");
    const RinexDayResult common = runCommonBlock(job, environment, request.lastStage, log, written);
    if (common != kRinexDayDone) log.say("\r\nInfo! errors in Common Block process... \r\n");
    return common;
}
