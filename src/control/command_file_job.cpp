#include "control/command_file_job.h"

#include "control/classify.h"
#include "control/common_block.h"
#include "control/day_inputs.h"
#include "control/file_search.h"
#include "geodesy/time.h"
#include "gnss/bias/dcb_names.h"
#include "gnss/day_reading.h"
#include "gnss/tec/receiver_raw_analyse.h"
#include "platform/dir_search.h"
#include "platform/fields.h"
#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "products/last_tec_file.h"
#include "products/product_names.h"
#include "rinex/obs_read2.h"

namespace velarix {

namespace {

// A header position this far below the ellipsoid is no position.
constexpr double kLowestHeaderHeight_m = -300.0;
constexpr std::size_t kMaxBiasFileBytes = 1 << 16;

std::string inDataPath(const CommandFile& file, const std::string& name) {
    return !name.empty() && name.front() == '/' ? name : file.dataPath + name;
}

void showTitle(const DayEnvironment& environment, const std::string& text) {
    if (environment.window != nullptr) environment.window->setStatus(StatusLine::Title, text);
}

// The station of the run: the first file's name gives it, else its first four characters.
std::string stationOf(const std::string& path) {
    const InputFileInfo info = classify(path);
    if (info.nameValid == 1 && info.stationCode.size() == 4 && info.stationCode != "N_A_") return info.stationCode;
    return fileNameOf(path).substr(0, 4);
}

void describeDay(const CommandFile& file, const std::string& firstObservation, DayJob& job) {
    job.beginFile(firstObservation);
    CurrentFileContext& c = job.context;
    c.inputPath = firstObservation;
    c.dataDirectory = file.dataPath;
    c.productDirectory = file.outputPath;
    c.stationCode = stationOf(firstObservation);
    c.year = file.year;
    c.dayOfYear = file.dayOfYear;
    MonthDayFromDayOfYear(file.year, file.dayOfYear, c.month, c.dayOfMonth);
    c.filled = true;
    job.kinds.rinexObs = 1;
    job.dayStartMjd = MjdFromCivil(c.year, c.month, c.dayOfMonth, 0, 0, 0.0);
}

// Each file expanded when compressed and read into the receiver table; false when none
// gave an observation.
bool readObservations(const std::vector<std::string>& paths, const std::string& workDirectory, DayJob& job,
                      RunLog& log) {
    int read = 0;
    for (const std::string& path : paths) {
        log.append("\r\nFile.... " + fileNameOf(path));
        ExpandedFiles copies;
        std::string plain;
        if (decompressInput(path, rinexCompressionCode(classify(path)), workDirectory, copies, plain, log) !=
            RinexDayResult::kDone) {
            continue;
        }
        job.context.decompressedInputPath = plain;
        const ObsRead2Result result = OBS_read2(plain, job.receiverObs, log);
        if (result.endCode >= 0 && result.stored > 0) {
            ++read;
            log.say("\r\nObs. file read completed.... \r\n");
        } else {
            log.appendError(path + " .. Obs. file read ERRORS\r\n");
            log.say("\r\nObs. file read ERRORS.... \r\n");
        }
    }
    return read > 0;
}

// The named navigation files that exist; without any, the day's navigation file found
// as the RINEX job finds it.
std::vector<std::string> navigationFiles(const CommandFile& file, const std::string& stationCode, RunLog& log) {
    std::vector<std::string> found;
    for (const std::string& name : file.navigationFiles) {
        const std::string path = inDataPath(file, name);
        if (fileExists(path)) {
            found.push_back(path);
        } else {
            log.append("\r\nError! navigation file not found: " + path);
        }
    }
    if (!found.empty()) return found;
    InputFileInfo day;
    day.year = file.year;
    day.dayOfYear = file.dayOfYear;
    MonthDayFromDayOfYear(file.year, file.dayOfYear, day.month, day.day);
    day.stationCode = stationCode;
    const std::vector<std::string> ofDay = findNavigationFiles(file.dataPath, day);
    if (!ofDay.empty()) {
        log.append("\r\nInfo! taking the day's navigation file found in the data folder: " + ofDay.front());
        found.push_back(ofDay.front());
    }
    return found;
}

bool readNavigation(const CommandFile& file, const std::string& workDirectory, ExpandedFiles& copies, DayJob& job,
                    RunLog& log) {
    log.say("\r\nReading Nav file(s).. ");
    GivenDayFiles given;
    given.navigation = navigationFiles(file, job.context.stationCode, log);
    if (given.navigation.empty()) {
        log.append("\r\nError! Navigation file not found....\r\n");
        log.say("\r\nPlease download the Navigation file from internet & place in data folder to run again!\r\n");
        return false;
    }
    DayFiles files;
    if (expandGivenFiles(given, workDirectory, copies, files, log) != RinexDayResult::kDone) return false;
    if (!ReadNavigationFiles(job, files.navigationPaths, log)) return false;
    log.say(" ..done!");
    return true;
}

// The month's P1-P2 and P1-C1 files: "P1P2yymm.DCB" and "P1C1yymm.DCB", else their
// compressed forms and "P1P2yymm_ALL.DCB", as the RINEX job finds them.
void readDcb(const CommandFile& file, const std::string& workDirectory, ExpandedFiles& copies, DayJob& job,
             RunLog& log) {
    const MonthDcbFiles found = findDcbFiles(file.dataPath, job.context.year, job.context.month);
    GivenDayFiles given;
    if (!found.p1p2.empty()) {
        (DcbKindOfName(found.p1p2.front()) == DcbFileKind::kP1p2All ? given.p1p2All : given.p1p2) = found.p1p2.front();
    }
    if (!found.p1c1.empty()) given.p1c1 = found.p1c1.front();
    DayFiles files;
    if (!given.p1p2.empty() || !given.p1p2All.empty() || !given.p1c1.empty()) {
        if (expandGivenFiles(given, workDirectory, copies, files, log) == RinexDayResult::kDone) {
            ReadDayDcb(job, files, log);
        }
    }
    log.say((job.dcb.loaded & DcbTable::kP1p2Loaded) != 0 ? "\r\nDCB applied..\r\n"
                                                          : "\r\nDCB files not found in path.. not applied..\r\n");
}

// The station list's position, replaced by the recording's; false (reported) with neither.
bool takeStationPosition(const DayEnvironment& environment, DayJob& job, RunLog& log) {
    TakeCataloguePosition(environment, job);
    const auto& [x, y, z] = job.receiverObs.recording.approxPosition_m;
    if (x != 0.0 || y != 0.0) {
        StationPosition recorded;
        recorded.setFromEcef(x, y, z);
        if (recorded.height_m > kLowestHeaderHeight_m) job.station = recorded;
    }
    if (!job.station.known()) {
        log.say("\r\nError! Station coordinates not available: " + job.context.stationCode +
                " is not in the station list and the observation header gives no position\r\n");
        return false;
    }
    job.context.latitudeDeg = job.station.latitude_deg;
    job.context.longitudeDeg = job.station.longitude_deg;
    job.context.altitude = job.station.height_m;
    return true;
}

}  // namespace

std::vector<std::string> CommandObservationFiles(const CommandFile& file) {
    std::vector<std::string> named;
    for (const std::string& name : file.inputFiles) named.push_back(inDataPath(file, name));
    if (!file.readAllInDir || named.empty()) return named;
    FileSearch search;
    if (search.checkPath(named.front()) != PathCheck::kFound || search.countOneDayFiles() == 0) return named;
    return search.oneDayFiles();
}

std::string CommandProductBase(const CommandFile& file, const std::vector<std::string>& observationFiles,
                               const std::string& stationCode) {
    if (observationFiles.size() == 1) {
        const std::string name = fileNameOf(observationFiles.front());
        return file.outputPath + name.substr(0, name.find('.'));
    }
    return file.outputPath + stationCode + strfmt("%03d0", file.dayOfYear);
}

std::optional<double> ReceiverBiasOfDay(const std::string& dataPath, const std::string& stationCode, int year,
                                        int dayOfYear, RunLog& log) {
    ProductNameFields fields;
    fields.stationCode = stationCode;
    fields.year = year;
    fields.dayOfYear = dayOfYear;
    MonthDayFromDayOfYear(year, dayOfYear, fields.month, fields.dayOfMonth);
    fields.dataFolder = dataPath;
    const std::string expected = NameProducts(fields).biasSummary;
    const std::vector<DirEntry> found = findEntries(expected);  // names match in any case
    if (found.empty()) {
        log.append("\r\nNo Bias files found.. Please keep one file in the data folder! and run again.\r\n");
        log.say("\r\nInfo! no receiver bias of " + stationCode + " for the day (" + fileNameOf(expected) + " in " +
                dataPath + "): the receiver bias is estimated from the data\r\n");
        return std::nullopt;
    }
    const std::string& path = found.front().path;
    std::string text;
    if (readRegularFile(path, text, kMaxBiasFileBytes) == InputFileStatus::kOpened) {
        const std::vector<std::string_view> words = splitBlanks(text);
        for (std::size_t i = 0; i + 1 < words.size(); ++i) {
            double bias = 0.0;
            if (words[i] == "Total=" && parseNumber(words[i + 1], bias)) {
                log.say(strfmt("\r\nReceiver bias from %s: Total= %.1lf TECU\r\n", path.c_str(), bias));
                return bias;
            }
        }
    }
    log.say("\r\nError! no receiver bias (\"Total=\") could be read from " + path +
            ": the receiver bias is estimated from the data\r\n");
    return std::nullopt;
}

RinexDayResult RunCommandFile(const CommandFile& file, const DayEnvironment& environment, DayJob& job, RunLog& log,
                              std::vector<std::string>* written) {
    const std::vector<std::string> observations = CommandObservationFiles(file);
    describeDay(file, observations.empty() ? file.path : observations.front(), job);
    if (observations.empty()) {
        log.say("\r\nError! no observation file to process in " + file.path + "\r\n");
        return RinexDayResult::kNoInput;
    }
    showTitle(environment, "Reading rinex file.. wait!!");
    if (!readObservations(observations, file.outputPath, job, log)) return RinexDayResult::kObservationFailed;

    BiasOptions bias;
    if (file.useRxBias) {
        bias.givenRxBias_TECU =
            ReceiverBiasOfDay(file.dataPath, job.context.stationCode, file.year, file.dayOfYear, log);
    }
    // Expanded navigation and DCB files live until they are read.
    ExpandedFiles copies;
    if (!readNavigation(file, file.outputPath, copies, job, log)) return RinexDayResult::kNoNavigation;
    if (file.useSatDcb) {
        readDcb(file, file.outputPath, copies, job, log);
    } else {
        log.append("\r\nInfo! Use_Sat_DCB No: the satellites' DCBs are not applied\r\n");
    }
    copies.clear();
    if (!ReceiverEphemeridesCurrent(job, log)) return RinexDayResult::kNoNavigation;
    if (!takeStationPosition(environment, job, log)) return RinexDayResult::kNoStationPosition;

    showTitle(environment, "All files read! Now processing data.. wait");
    DayEnvironment toOutput = environment;
    toOutput.options.separateTarget = true;
    toOutput.options.targetDir = file.outputPath;
    CommonBlockSteps steps;
    steps.observedSatellites = job.receiverObs.prns.size();
    steps.fewSatellitesText = "\r\nSome errors in observation processing... <4 \r\n";
    steps.deriveTec = [](DayJob& day, RunLog& dayLog) { return statusCode(RawAnalyseReceiver(day, dayLog)); };
    steps.bias = bias;
    steps.productBase = CommandProductBase(file, observations, job.context.stationCode);
    const RinexDayResult result = RunCommonBlock(job, toOutput, steps, log, written);
    if (result != RinexDayResult::kDone) {
        log.say("\r\nInfo! errors in Common Block process... \r\n");
        return result;
    }
    const std::string lastTec = steps.productBase + "_cmn.dat";
    const ProductResult lastTecWritten = WriteLastTecFile(job, lastTec, log);
    if (lastTecWritten == ProductResult::kWritten && written != nullptr) written->push_back(lastTec);
    log.refresh();
    return lastTecWritten == ProductResult::kNotCreated ? RinexDayResult::kOutputsFailed : RinexDayResult::kDone;
}

}  // namespace velarix
