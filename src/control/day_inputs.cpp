#include "control/day_inputs.h"

#include <algorithm>

#include "control/classify.h"
#include "control/file_search.h"
#include "decompress/decode_stream.h"
#include "decompress/expand.h"
#include "geodesy/time.h"
#include "gnss/bias/dcb_names.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

// CODE published no P1-P2 biases for these years; a day of them goes on without.
constexpr int kFirstYearWithoutDcb = 1994;
constexpr int kLastYearWithoutDcb = 1997;

void askDownload(const DayEnvironment& environment, const DownloadRequest& request, RunLog& log) {
    if (environment.download) {
        environment.download(request, log);
        return;
    }
    log.say("\r\nInfo! downloading is off in this run: place the file(s) in " + request.dataDirectory +
            "\r\n");
}

// `path` in plain form, expanded when compressed; "" (reported) when it does not expand.
// `errorCodeLine` adds the decoder's code to the report, as for DCB files.
std::string plainAuxiliary(const std::string& path, const std::string& workDirectory, ExpandedFiles& copies,
                           RunLog& log, bool errorCodeLine) {
    if (!isExpandable(path)) return path;
    log.append("\r\nDecompressing... " + path);
    log.refresh();
    const PlainCopy& copy = copies.emplace_back(path, workDirectory);
    if (copy.ok()) {
        log.say(" ...done!\r\n");
        return copy.path();
    }
    if (errorCodeLine) log.append(strfmt(" ... Decompress error# %d\r\n", statusCode(copy.result())));
    log.say("\r\nDecompress...error! " + copy.decoderText() + "\r\n");
    log.appendError(path + " .. Decompress failed\r\n");
    copies.pop_back();
    return {};
}

// The day's navigation file in plain form; "" (reported) when there is none.
std::string locateNavigation(const DayRequest& request, const DayEnvironment& environment, double dayMjd,
                             ExpandedFiles& copies, RunLog& log) {
    const InputFileInfo day = classify(request.inputPath);
    std::vector<std::string> failed;
    bool downloaded = false;
    for (int round = 0; round < 2; ++round) {
        std::vector<std::string> found = findNavigationFiles(request.dataDirectory, day);
        if (found.empty() && !downloaded) {
            log.say("\r\n Navigation file not found..\r\n----Accessing Internet to download file!!---\r\n");
            askDownload(environment, {request.dataDirectory, dayMjd, true}, log);
            downloaded = true;
            found = findNavigationFiles(request.dataDirectory, day);
        }
        if (found.empty()) {
            log.append("\r\nError! Navigation file not found....\r\n");
            log.append("\r\nPlease download the Navigation file from internet & place in data folder to run again!\r\n");
            log.say("\r\nPlease read the Velarix Readme.pdf document for webpage links!\r\n");
            return {};
        }
        // An archive that would not expand is passed over when the day has another file.
        const auto untried = std::find_if(found.begin(), found.end(), [&failed](const std::string& path) {
            return std::find(failed.begin(), failed.end(), path) == failed.end();
        });
        const std::string path = untried != found.end() ? *untried : found.front();
        const std::string plain = plainAuxiliary(path, request.workDirectory, copies, log, false);
        if (!plain.empty()) {
            log.say("\r\nNavigation file is.." + path + "\r\n");
            return plain;
        }
        failed.push_back(path);
    }
    return {};
}

// The first of `candidates` that is plain or expands; "" when none does.
std::string firstUsable(const std::vector<std::string>& candidates, const std::string& workDirectory,
                        ExpandedFiles& copies, RunLog& log, std::string& original) {
    for (const std::string& path : candidates) {
        const std::string plain = plainAuxiliary(path, workDirectory, copies, log, true);
        if (plain.empty()) continue;
        original = path;
        return plain;
    }
    return {};
}

// The month's P1-P2 file of CODE, else a Bias-SINEX file of the day, in plain form:
// `p1p2Name` is then the file found, `biasSinex` the plain Bias-SINEX file.
std::string usableP1p2(const DayRequest& request, double dayMjd, const MonthDcbFiles& found, ExpandedFiles& copies,
                       RunLog& log, std::string& p1p2Name, std::string& biasSinex) {
    std::string p1p2 = firstUsable(found.p1p2, request.workDirectory, copies, log, p1p2Name);
    if (p1p2.empty()) {
        std::string name;
        biasSinex = firstUsable(findBiasSinexFiles(request.dataDirectory, dayMjd), request.workDirectory, copies, log,
                                name);
        if (!biasSinex.empty()) log.say("\r\nDCB file is.." + name + "\r\n");
    }
    return p1p2;
}

// The month's DCB files into `files`: CODE's, else a Bias-SINEX file that covers the day;
// false when there is none for a year that has them.
bool locateDcb(const DayRequest& request, const DayEnvironment& environment, double dayMjd, ExpandedFiles& copies,
               DayFiles& files, RunLog& log) {
    DateTime date;
    date.FromMjd(dayMjd);
    MonthDcbFiles found = findDcbFiles(request.dataDirectory, date.year, date.month);
    std::string p1p2Name;
    std::string p1p2 = usableP1p2(request, dayMjd, found, copies, log, p1p2Name, files.biasSinexPath);
    if (p1p2.empty() && files.biasSinexPath.empty()) {
        log.say("\r\n DCB file(s) not found..\r\n----Accessing Internet to download file!!---\r\n");
        askDownload(environment, {request.dataDirectory, dayMjd, false}, log);
        found = findDcbFiles(request.dataDirectory, date.year, date.month);
        p1p2 = usableP1p2(request, dayMjd, found, copies, log, p1p2Name, files.biasSinexPath);
    }
    if (p1p2.empty() && files.biasSinexPath.empty()) {
        log.append("\r\nError! DCB file(s) not found @main->in rnx-RDcmd\r\n");
        log.append("\r\nPlease download the P1P2,P1C1 DCB files from internet & place in data folder to run again!\r\n");
        log.say("\r\nPlease read the Velarix Readme.pdf document for webpage links!\r\n");
        if (date.year < kFirstYearWithoutDcb || date.year > kLastYearWithoutDcb) return false;
        log.append("\r\n Warning!\r\n P1P2 DCB file(s) are not calculated by CODE for years 1994-1997.");
        log.append("\r\n Therefore, P1P2 values will be calculated by the program, which may be in-accurate!");
        log.say("\r\n Please check take caution and verify the TEC values or plots for accuracy!\r\n");
    } else if (DcbKindOfName(p1p2Name) == DcbFileKind::kP1p2All) {
        files.p1p2AllPath = p1p2;
    } else if (!p1p2.empty()) {
        files.p1p2Path = p1p2;
    }
    // A P1-C1 file of the month also fills what a Bias-SINEX file lacks.
    std::string p1c1Name;
    files.p1c1Path = firstUsable(found.p1c1, request.workDirectory, copies, log, p1c1Name);
    return true;
}

// The observation file's decoding begins: its line of the log.
void announceDecoding(const std::string& path, bool compact, RunLog& log) {
    if (!compact) log.append("\r\nDecompressing... " + path);
    if (compact) log.append("\r\n" + path + "\r\nDecompressing Compact/Hatanaka rinex.... ");
    log.refresh();
}

// How the observation file's decoding ended (expandFile's result and the decoder's text).
RinexDayResult reportDecoding(const std::string& path, bool compact, DecodeStatus result, const std::string& text,
                              RunLog& log) {
    if (expandSucceeded(result)) {
        if (!compact) {
            log.say(" ...done!\r\n");
        } else if (result != DecodeStatus::kOk) {
            log.say("some warnings in Hatanaka file\r\n" + text);
        } else {
            log.say("Successfull.");
        }
        return RinexDayResult::kDone;
    }
    if (!compact) {
        log.say("\r\nDecompress failed.... program exited!\r\n" + path + "\r\n" + text);
        log.appendError(path + " .. Decompress failed\r\n");
        return RinexDayResult::kExpandFailed;
    }
    log.say("\r\nHatanaka decompression failed.... " + path + "\r\nProgram aborted with error!\r\n" + text);
    log.appendError(path + " .. Hatanaka decompress failed\r\n");
    return RinexDayResult::kCompactFailed;
}

bool isCompact(int compression) { return compression == 2 || compression == 3; }

}  // namespace

RinexDayResult decompressInput(const std::string& path, int compression, const std::string& workDirectory,
                               ExpandedFiles& copies, std::string& plainPath, RunLog& log) {
    if (!isExpandable(path)) {
        plainPath = path;
        return RinexDayResult::kDone;
    }
    announceDecoding(path, isCompact(compression), log);
    const PlainCopy& copy = copies.emplace_back(path, workDirectory);
    const DecodeStatus result = copy.result();
    const std::string text = copy.decoderText();
    if (copy.ok()) {
        plainPath = copy.path();
    } else {
        copies.pop_back();
    }
    return reportDecoding(path, isCompact(compression), result, text, log);
}

RinexDayResult readObservationInput(const std::string& path, int compression, DayJob& job, ObservationRead& read,
                                    RunLog& log) {
    if (!isExpandable(path)) {
        LineReader in(path);
        read = ReadObservationFile(job, in, path);
        return RinexDayResult::kDone;
    }
    announceDecoding(path, isCompact(compression), log);
    std::string text;
    DecodeStatus result = DecodeStatus::kOk;
    {
        DecodeStream stream(path);
        read = ReadObservationFile(job, stream.lines(), path);
        result = stream.finish(text);
    }
    return reportDecoding(path, isCompact(compression), result, text, log);
}

RinexDayResult locateNavAndDcb(const DayRequest& request, const DayEnvironment& environment, double dayMjd,
                               ExpandedFiles& copies, DayFiles& files, RunLog& log) {
    const std::string navigation = locateNavigation(request, environment, dayMjd, copies, log);
    if (navigation.empty()) return RinexDayResult::kNoNavigation;
    files.navigationPaths = {navigation};
    return locateDcb(request, environment, dayMjd, copies, files, log) ? RinexDayResult::kDone : RinexDayResult::kNoDcb;
}

RinexDayResult expandGivenFiles(const GivenDayFiles& given, const std::string& workDirectory, ExpandedFiles& copies,
                                DayFiles& files, RunLog& log) {
    const auto plain = [&](const std::string& path, std::string& into) {
        if (path.empty()) return true;
        into = plainAuxiliary(path, workDirectory, copies, log, false);
        return !into.empty();
    };
    for (const std::string& path : given.navigation) {
        if (!plain(path, files.navigationPaths.emplace_back())) return RinexDayResult::kExpandFailed;
    }
    const bool expanded =
        plain(given.p1c1, files.p1c1Path) && plain(given.p1p2, files.p1p2Path) && plain(given.p1p2All, files.p1p2AllPath) &&
        plain(given.biasSinex, files.biasSinexPath);
    return expanded ? RinexDayResult::kDone : RinexDayResult::kExpandFailed;
}

void TakeCataloguePosition(const DayEnvironment& environment, DayJob& job) {
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

}  // namespace velarix
