#include "gnss/day_reading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "geodesy/time.h"
#include "gnss/bias/bias_sinex_reader.h"
#include "gnss/bias/dcb_table.h"
#include "gnss/orbits/orbit.h"
#include "gnss/orbits/station_position.h"
#include "platform/line_reader.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/nav_reader.h"
#include "rinex/obs_reader.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// A header position this far below the ellipsoid is no position.
constexpr double kLowestHeaderHeight_m = -300.0;
constexpr std::size_t kMinRecordsForDay = 5;
constexpr std::size_t kFirstLineLimit = 90;
constexpr std::size_t kDayPoolBlockBytes = 256 * 1024;

bool readNavigation(DayJob& job, const std::string& path, RunLog& log) {
    log.append("\r\nReading nav file " + path);
    log.refresh();
    const NavReadResult result = readNavigationFile(path, job.ephemerides, job.navHeader, log);
    if (result != NavReadResult::kRead) log.append("\r\nError! reading Navigation file\r\n");
    if (result == NavReadResult::kCannotOpen || result == NavReadResult::kNotRegularFile) return false;
    log.append(" ..done!");
    return true;
}

}  // namespace

void ReadDayDcb(DayJob& job, const DayFiles& files, RunLog& log) {
    log.append("\r\nReading DCB file(s).... ");
    const DcbReadResult result = ReadDcbFiles(files.p1c1Path, files.p1p2Path, files.p1p2AllPath, job.dcb);
    const std::pair<const std::string&, DcbFileStatus> read[] = {
        {files.p1c1Path, result.p1c1}, {files.p1p2AllPath, result.p1p2All}, {files.p1p2Path, result.p1p2}};
    bool allRead = true;
    for (const auto& [path, status] : read) {
        const std::string problem = DcbFileProblem(path, status);
        if (problem.empty()) continue;
        allRead = false;
        log.append(problem);
        log.appendError(path + " .. DCB file not read\r\n");
    }
    std::string sinexSummary;
    if (!files.biasSinexPath.empty()) {
        BiasSinexCounts counts;
        const BiasSinexStatus status = ReadBiasSinexFile(files.biasSinexPath, job.dcb, log, &counts);
        if (status == BiasSinexStatus::kRead) {
            sinexSummary = strfmt("\r\nInfo! Bias-SINEX file: P1-P2 of %d and P1-C1 of %d GPS satellites, "
                                  "P1-P2 of %d station receivers\r\n",
                                  counts.satellitesP1p2, counts.satellitesP1c1, counts.stations);
        } else {
            allRead = false;
            log.append(BiasSinexProblem(files.biasSinexPath, status));
            log.appendError(files.biasSinexPath + " .. DCB file not read\r\n");
        }
    }
    log.append(allRead ? "done!" : "\r\n");
    log.append(sinexSummary);
}

namespace {

// The RINEX version from the file's first line ("RINEX VERSION / TYPE" in columns 61-80;
// 0 when the line is another). False, with the reason in `log`, when there is no line.
bool firstLineVersion(LineReader& in, const std::string& path, double& version, RunLog& log) {
    if (!in.isOpen()) {
        if (in.openStatus() == InputFileStatus::kNotRegularFile) {
            log.append(inputFileError("observation input", path, InputFileStatus::kNotRegularFile));
            log.appendError(path + " .. not a regular file\r\n");
        } else {
            log.append("\r\nCan't open observation input file " + path);
            log.appendError(path + " .. can't open file\r\n");
        }
        return false;
    }
    std::string_view line;
    bool cut = false;
    if (!in.next(kFirstLineLimit, line, cut)) {
        log.append("\r\nError! incomplete header... end of file..");
        log.appendError(path + " .. incomplete header\r\n");
        return false;
    }
    version = 0.0;
    if (line.size() >= 60 && line.substr(60, 20).starts_with("RINEX VERSION / TYPE")) {
        // The leading number of the field, as atof reads it but whatever the locale.
        const std::string_view field = trim(line.substr(0, 20));
        if (std::from_chars(field.data(), field.data() + field.size(), version).ec != std::errc()) version = 0.0;
    }
    return true;
}

// One observation file into the tables; false (named in `log.errors`) when it gave no epoch.
bool readObservationFile(DayJob& job, LineReader& in, const std::string& path, RunLog& log) {
    log.append("\r\nReading Rinex Obs. file " + path);
    log.refresh();
    double version = 0.0;
    if (!firstLineVersion(in, path, version, log)) return false;
    if (version >= 3.0) log.say("\r\nInfo!Reading Rinex3 format.. in testing phase.. please check outputs!\r\n");
    // Only what the day's stages take: a file lists many more observables than TEC needs.
    // The TEC derivation gives the table back block by block (gnss/tec/raw_analyse.h): small
    // blocks give it back in small steps.
    job.obs.pool.setLargestBlock(kDayPoolBlockBytes);
    // The first line was read for its version alone; the reader starts again before it.
    if (!in.rewindToStart()) {
        log.append("\r\nError! incomplete header... end of file..");
        log.appendError(path + " .. incomplete header\r\n");
        return false;
    }
    const ObsReadCounts counts = OBS_readR3(in, path, job.obs, job.obsHeader, log, ObsKeep::kTecOnly);
    bool read = job.obs.readStatus >= 0;
    // The reader goes on past a foreign header line, and ends early without TEC
    // observables; neither gives a day.
    if (read && !job.obsHeader.isObservationFile()) {
        log.append("\r\nError! not a RINEX observation file: " + path);
        read = false;
    } else if (read && counts.epochs == 0) {
        log.append("\r\nError! no observation epoch in " + path);
        read = false;
    }
    if (!read) log.appendError(path + " .. Obs. file read ERRORS\r\n");
    return read;
}

bool readObservations(DayJob& job, const DayFiles& files, RunLog& log) {
    int read = 0;
    for (const ObservationRead& ahead : files.observationsRead) {
        log.append(ahead.log.messages);
        log.appendError(ahead.log.errors);
        if (ahead.read) ++read;
    }
    for (const std::string& path : files.observationPaths) {
        LineReader in(path);
        if (readObservationFile(job, in, path, log)) ++read;
    }
    if (read == 0) {
        log.say("\r\nObs. file read ERRORS.... \r\n");
        return false;
    }
    log.say("\r\nObs. file read completed.... \r\n");
    return true;
}

// The header's position replaces the catalogue's; with neither, the position solution.
bool takeStationPosition(DayJob& job, RunLog& log) {
    const ObsTable& obs = job.obs;
    if (obs.positionKnown && obs.stationX_m != 0.0 && obs.height_m > kLowestHeaderHeight_m) {
        job.station.setFromEcef(obs.stationX_m, obs.stationY_m, obs.stationZ_m);
    } else if (!job.station.known()) {
        log.say("\r\nError! Station coordinates not available!.. computing\r\n");
        if (SolveStationPosition(job, 0, std::string(), log) != StationPositionResult::kEstablished ||
            !job.station.known()) {
            return false;
        }
        log.append(strfmt("\r\nINFO! station Lat,Lon & Alt are %2.4f, %2.4f & %2.2f\r\n", job.station.latitude_deg,
                          job.station.longitude_deg, job.station.height_m));
    }
    job.context.latitudeDeg = job.station.latitude_deg;
    job.context.longitudeDeg = job.station.longitude_deg;
    job.context.altitude = job.station.height_m;
    return true;
}

std::string minuteText(double mjd) {
    DateTime time;
    time.FromMjd(mjd);
    return strfmt("%04d-%02d-%02d %02d:%02d", time.year, time.month, time.day, time.hour, time.minute);
}

// Records (in file order, mostly in time order) whose epoch has a reference epoch of
// `byEpoch` within `validity_days`.
template <typename Ephemeris, typename Record>
long currentRecords(const EphemerisByEpoch<Ephemeris>& byEpoch, const std::vector<Record>& records,
                    double validity_days) {
    long current = 0;
    auto next = byEpoch.begin();  // first reference epoch not before the record's reach
    double previous = -1e300;
    for (const Record& record : records) {
        const double t = record.epochMjd;
        if (t < previous) next = byEpoch.lower_bound(t - validity_days);
        while (next != byEpoch.end() && next->first < t - validity_days) ++next;
        if (next != byEpoch.end() && next->first <= t + validity_days) ++current;
        previous = t;
    }
    return current;
}

template <typename Record>
long currentRecordsOf(const EphemerisTable& table, int satNo, const std::vector<Record>& records) {
    const double validity = EphemerisValidity_days(satNo);
    const auto count = [&](const auto& part) {
        const auto found = part.find(satNo);
        return found == part.end() ? 0L : currentRecords(found->second, records, validity);
    };
    switch (systemOf(satNo)) {
        case kGlonass: return count(table.glonass);
        case kSbas: return count(table.sbas);
        default: return count(table.kepler);
    }
}

struct MjdSpan {
    bool empty = true;
    double first = 0.0;
    double last = 0.0;

    void add(double mjd) {
        first = empty ? mjd : std::min(first, mjd);
        last = empty ? mjd : std::max(last, mjd);
        empty = false;
    }
};

MjdSpan ephemerisSpan(const EphemerisTable& table) {
    MjdSpan span;
    const auto addPart = [&span](const auto& part) {
        for (const auto& [satNo, byEpoch] : part) {
            if (byEpoch.empty()) continue;
            span.add(byEpoch.begin()->first);
            span.add(byEpoch.rbegin()->first);
        }
    };
    addPart(table.kepler);
    addPart(table.glonass);
    addPart(table.sbas);
    return span;
}

// Satellites with records in the navigation files but none current at some of their
// epochs are listed (their TEC gets no geometry there); false when no observed satellite
// has a current ephemeris at all: the navigation file is of another day. Satellites
// without any record are the TEC stage's to report. Without navigation records (a caller
// that reads none) there is nothing to judge.
template <typename BySatellite>
bool ephemeridesCurrent(const DayJob& job, const BySatellite& bySatellite, RunLog& log) {
    const MjdSpan ephemeris = ephemerisSpan(job.ephemerides);
    if (ephemeris.empty) return true;
    std::string stale;
    int staleCount = 0;
    bool anyCurrent = false;
    MjdSpan observed;
    for (const auto& [satNo, records] : bySatellite) {
        if (records.empty()) continue;
        observed.add(records.front().epochMjd);
        observed.add(records.back().epochMjd);
        if (HasEphemeris(job.ephemerides, satNo) == 0) continue;
        const long current = currentRecordsOf(job.ephemerides, satNo, records);
        if (current > 0) anyCurrent = true;
        if (current == static_cast<long>(records.size())) continue;
        ++staleCount;
        stale += strfmt(" %s %ld of %zu,", satelliteLabel(satNo).c_str(), static_cast<long>(records.size()) - current,
                        records.size());
    }
    if (observed.empty) return true;
    if (!anyCurrent) {
        log.say(strfmt("\r\nError! no ephemeris for any satellite: the navigation file(s) cover %s to %s "
                       "(within 4 h, 30 min for GLONASS and SBAS), the observations %s to %s\r\n",
                       minuteText(ephemeris.first).c_str(), minuteText(ephemeris.last).c_str(),
                       minuteText(observed.first).c_str(), minuteText(observed.last).c_str()));
        return false;
    }
    if (staleCount > 0) {
        stale.pop_back();
        log.say(strfmt("\r\nWarning! %d satellite(s) without a current ephemeris (none within 4 h, 30 min for "
                       "GLONASS and SBAS) at some epochs, left without geometry there; epochs:%s\r\n",
                       staleCount, stale.c_str()));
    }
    return true;
}

}  // namespace

bool ReadNavigationFiles(DayJob& job, const std::vector<std::string>& paths, RunLog& log) {
    for (const std::string& path : paths) {
        if (!readNavigation(job, path, log)) return false;
    }
    if (!paths.empty() && ephemerisSpan(job.ephemerides).empty) {
        log.say("\r\nError! no ephemeris in the navigation file(s)\r\n");
        return false;
    }
    return true;
}

bool ReceiverEphemeridesCurrent(const DayJob& job, RunLog& log) {
    return ephemeridesCurrent(job, job.receiverObs.byPrn, log);
}

double ProcessingDayMjd(const ObsTable& obs) {
    std::vector<double> epochs;
    for (const auto& [satNo, records] : obs.bySatellite) {
        if (records.size() < kMinRecordsForDay) continue;
        for (const SatEpochRecord& record : records) epochs.push_back(record.epochMjd);
    }
    std::sort(epochs.begin(), epochs.end());
    epochs.erase(std::unique(epochs.begin(), epochs.end()), epochs.end());
    double bestDay = 0.0;
    std::size_t bestCount = 0;
    for (std::size_t i = 0; i < epochs.size();) {
        const double day = std::floor(epochs[i]);
        std::size_t end = i;
        while (end < epochs.size() && std::floor(epochs[end]) == day) ++end;
        if (end - i > bestCount) {
            bestCount = end - i;
            bestDay = day;
        }
        i = end;
    }
    return bestDay;
}

ObservationRead ReadObservationFile(DayJob& job, LineReader& in, const std::string& name) {
    ObservationRead ahead;
    ahead.read = readObservationFile(job, in, name, ahead.log);
    return ahead;
}

DayReadResult ReadDayFiles(DayJob& job, const DayFiles& files, RunLog& log) {
    if (!files.p1c1Path.empty() || !files.p1p2Path.empty() || !files.p1p2AllPath.empty() ||
        !files.biasSinexPath.empty()) {
        ReadDayDcb(job, files, log);
    }
    if (!ReadNavigationFiles(job, files.navigationPaths, log)) return DayReadResult::kNavigationFailed;
    if (!readObservations(job, files, log)) return DayReadResult::kObservationFailed;
    if (!ephemeridesCurrent(job, job.obs.bySatellite, log)) return DayReadResult::kNavigationFailed;
    if (!takeStationPosition(job, log)) return DayReadResult::kNoStationPosition;
    job.dayStartMjd = ProcessingDayMjd(job.obs);
    return DayReadResult::kRead;
}

}  // namespace velarix
