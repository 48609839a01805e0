#include "gnss/s4/s4_stage.h"

#include <string_view>

#include "gnss/tec/data_interval.h"
#include "gnss/s4/s4_assign.h"
#include "gnss/s4/s4_file.h"
#include "geodesy/time.h"
#include "platform/dir_search.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "stations/lisn_sites.h"

namespace velarix {

namespace {

constexpr double kMinInterval_s = 1.0;

// A new interval from the TEC records when the day's is outside [1, 300] s. Without a
// satellite of 50 or more epochs the interval stays as it is.
void redetectInterval(DayJob& job) {
    if (job.dataInterval_s >= kMinInterval_s && job.dataInterval_s <= kMaxDataInterval_s) return;
    const std::vector<double> epochs = EpochsOfFirstLongSatellite(job.tec);
    if (!epochs.empty()) job.dataInterval_s = RingInterval_s(epochs);
}

// 1 the station code is the site's file-name code, 2 its receiver prefix + "s4", 3 its
// sub-directory; 0 no site matches. The first matching site is copied to `site`.
int matchLisnSite(const std::string& stationCode, const LisnSiteTable& sites, LisnSite& site) {
    if (stationCode.empty()) return 0;
    for (const auto& [name, candidate] : sites) {
        int match = 0;
        if (equalsNoCase(stationCode, candidate.filePrefix)) {
            match = 1;
        } else if (!candidate.novatelPrefix.empty() && equalsNoCase(stationCode, candidate.novatelPrefix + "s4")) {
            match = 2;
        } else if (equalsNoCase(stationCode, candidate.subDirectory)) {
            match = 3;
        }
        if (match != 0) {
            site = candidate;
            return match;
        }
    }
    return 0;
}

// `name` as a literal pattern for the directory search.
std::string literalPattern(std::string_view name) {
    std::string pattern;
    for (char c : name) {
        if (c == '*' || c == '?' || c == '[' || c == '\\') pattern += '\\';
        pattern += c;
    }
    return pattern;
}

// The file `name` in `directory`, its name matched without regard to case as the
// recording sites' Windows systems do; "" when there is none.
std::string existingFile(const std::string& directory, const std::string& name) {
    for (const DirEntry& entry : findEntries(directory + literalPattern(name))) {
        if (!entry.isDirectory) return entry.path;
    }
    return "";
}

std::string withSlash(const std::string& directory) {
    return directory.empty() || directory.back() == '/' ? directory : directory + "/";
}

// The day's S4 file of the matched LISN site: under each archive root's site folder,
// then in the data folder.
std::string findLisnS4File(const DayJob& job, const S4Config& config, const DateTime& day) {
    const char* code = job.context.stationCode.c_str();
    const std::int32_t dayOfYear = day.DayOfYear();
    const std::string name = strfmt("%s.%03d-%04d-%02d-%02d.s4", code, dayOfYear, day.year, day.month, day.day);
    for (const std::string& root : config.archiveRoots) {
        if (root.empty()) continue;
        const std::string found = existingFile(withSlash(withSlash(root) + job.s4.lisnSite.subDirectory), name);
        if (!found.empty()) return found;
    }
    const std::string inData = strfmt("%s%s.%03d-%04d-%02d-%02d.s4", job.context.dataDirectory.c_str(), code,
                                      dayOfYear, day.year, day.month, day.day);
    return existingFile(directoryOf(inData), fileNameOf(inData));
}

// Reads an S4 file into the job with the stage's two messages around it; the reader's
// own reports follow them.
void readWithMessages(const std::string& path, S4State& s4, RunLog& log) {
    s4.filePath = path;
    log.append("\r\nReading S4 file...  \"" + path);
    RunLog readerLog;
    const int records = readS4File(path, s4.fileTable, readerLog);
    log.append("\"  ...done!");
    log.append(readerLog.messages);
    log.appendError(readerLog.errors);
    log.refresh();
    if (records <= 0) s4.filePath.clear();  // nothing came of it: no file was read
}

bool hasS1Observable(const Rinex3ObsHeader& header) {
    for (const std::string& type : header.rinex2ObsTypes) {
        if (type.find("S1") != std::string::npos) return true;
    }
    for (const auto& [system, types] : header.obsTypes) {
        for (const HeaderObsType& type : types) {
            if (type.code.find("S1") != std::string::npos) return true;
        }
    }
    return false;
}

// The receiver-format path's recordings carry S1 when any record has a value.
bool hasS1Values(const ReceiverObsTable& table) {
    for (const auto& [prn, records] : table.byPrn) {
        for (const ReceiverObsRecord& record : records) {
            if (record.s1 != 0.0) return true;
        }
    }
    return false;
}

}  // namespace

void GetS4(DayJob& job, const S4Config& config, RunLog& log) {
    S4State& s4 = job.s4;
    // The LISN match belongs to the file and is kept; what came of an earlier day is not.
    s4.fileTable.clear();
    s4.filePath.clear();
    s4.source = kS4None;
    if (job.tec.size() < 2) {
        log.append("\r\nError! not enough data.. process aborted @GetS4!\r\n");
        log.refresh();
        return;
    }
    if (job.kinds.scinda != 0) {
        s4.source = kS4Scinda;  // the SCINDA pipeline carries S4 with its records
        return;
    }
    redetectInterval(job);

    if (s4.lisnSiteMatch == 0) {
        LisnSiteTable sites;
        if (!loadLisnSites(config.programDir, sites, log)) {
            log.refresh();
            return;
        }
        s4.lisnSiteMatch = matchLisnSite(job.context.stationCode, sites, s4.lisnSite);
    }

    DateTime day;
    day.FromMjd(job.dayStartMjd);
    const bool rinexInput = job.kinds.rinexObs != 0;
    if (s4.lisnSiteMatch != 0) {
        const std::string path = findLisnS4File(job, config, day);
        if (!path.empty()) readWithMessages(path, s4, log);
    }
    if (s4.fileTable.empty() && !rinexInput) {
        const std::string scn = strfmt("%s%s_%02d%02d%02d.scn", job.context.dataDirectory.c_str(),
                                       job.context.stationCode.c_str(), day.year % 100, day.month, day.day);
        const std::string path = existingFile(directoryOf(scn), fileNameOf(scn));
        if (!path.empty()) readWithMessages(path, s4, log);
    }
    if (s4.fileTable.empty() && rinexInput) {
        if (!hasS1Observable(job.obsHeader) && !hasS1Values(job.receiverObs)) return;
        s4.source = kS4PseudoFromS1;
    }
    double fileInterval_s = 0.0;
    if (!s4.fileTable.empty()) {
        fileInterval_s = S4FileInterval_s(s4.fileTable);
        s4.source = kS4File;
    }
    AssignS4(job.tec, s4Grid(job.dataInterval_s, fileInterval_s), s4.fileTable);
}

}  // namespace velarix
