#include "gnss/day_reading.h"

#include <algorithm>
#include <cmath>

#include "geodesy/time.h"
#include "gnss/orbits/station_position.h"
#include "platform/strfmt.h"
#include "rinex/nav_reader.h"
#include "rinex/obs_reader.h"

namespace {

// A header position this far below the ellipsoid is no position.
constexpr double kLowestHeaderHeight_m = -300.0;
constexpr std::size_t kMinRecordsForDay = 5;
constexpr double kEphemerisReach_days = 1.0;

void emptyTables(DayJob& job) {
    job.obs.clear();
    job.obsHeader.reset();
    job.ephemerides.clear();
    job.navHeader = NavHeader{};
    job.dcb.clear();
    job.tec.clear();
    job.station = StationPosition{};
    job.dataInterval_s = -1.0;
    job.dayStartMjd = 0.0;
    job.phaseSign = 1.0;
}

bool readNavigation(DayJob& job, const std::string& path, RunLog& log) {
    log.append("\r\nReading nav file " + path);
    const int result = readNavigationFile(path, job.ephemerides, job.navHeader, log);
    if (result < 0) log.append("\r\nError! reading Navigation file\r\n");
    if (result == kNavCannotOpen || result == kNavNotRegularFile) return false;
    log.append(" ..done!");
    return true;
}

bool readObservations(DayJob& job, const std::string& path, RunLog& log, ObsReadCounts& counts) {
    log.append("\r\nReading Rinex Obs. file " + path);
    counts = OBS_readR3(path, job.obs, job.obsHeader, log);
    // The reader goes on past a foreign header line; the day does not.
    const bool foreign = job.obs.readStatus >= 0 && !job.obsHeader.isObservationFile();
    if (foreign) log.append("\r\nError! not a RINEX observation file: " + path);
    if (job.obs.readStatus < 0 || foreign) {
        log.appendError(path + " .. Obs. file read ERRORS\r\n");
        log.append("\r\nObs. file read ERRORS.... \r\n");
        return false;
    }
    log.append("\r\nObs. file read completed.... \r\n");
    return true;
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

// First and last reference epoch of the table.
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

std::string minuteText(double mjd) {
    DateTime time;
    time.FromMjd(mjd);
    return strfmt("%04d-%02d-%02d %02d:%02d", time.year, time.month, time.day, time.hour, time.minute);
}

// The orbit of the nearest record is used however far its reference epoch lies: records
// of another day give wrong geometry (and GLONASS orbits integrated over months or years).
bool ephemerisNearObservations(const MjdSpan& ephemeris, const ObsReadCounts& counts, RunLog& log) {
    if (counts.epochs == 0 || (ephemeris.last >= counts.firstEpochMjd - kEphemerisReach_days &&
                               ephemeris.first <= counts.lastEpochMjd + kEphemerisReach_days))
        return true;
    log.append(strfmt("\r\nError! no ephemeris within a day of the observations: ephemerides %s to %s, "
                      "observations %s to %s\r\n",
                      minuteText(ephemeris.first).c_str(), minuteText(ephemeris.last).c_str(),
                      minuteText(counts.firstEpochMjd).c_str(), minuteText(counts.lastEpochMjd).c_str()));
    return false;
}

// Each DCB file that gave nothing is named; "done!" only when every file was read.
void readDcb(DayJob& job, const DayFiles& files, RunLog& log) {
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
    log.append(allRead ? "done!" : "\r\n");
}

bool takeStationPosition(DayJob& job, RunLog& log) {
    const ObsTable& obs = job.obs;
    if (obs.positionKnown && obs.stationX_m != 0.0 && obs.height_m > kLowestHeaderHeight_m) {
        job.station.setFromEcef(obs.stationX_m, obs.stationY_m, obs.stationZ_m);
    } else {
        log.append("\r\nError! Station coordinates not available!.. computing\r\n");
        if (SolveStationPosition(job, 0, std::string(), log) != 0 || !job.station.known()) return false;
        log.append(strfmt("\r\nINFO! station Lat,Lon & Alt are %2.4f, %2.4f & %2.2f\r\n", job.station.latitude_deg,
                          job.station.longitude_deg, job.station.height_m));
    }
    job.context.latitudeDeg = job.station.latitude_deg;
    job.context.longitudeDeg = job.station.longitude_deg;
    job.context.altitude = job.station.height_m;
    return true;
}

// The calendar day of the earliest first epoch among satellites with at least 5 records.
double processingDay(const ObsTable& obs) {
    double earliest = 0.0;
    bool any = false;
    for (const auto& [satNo, records] : obs.bySatellite) {
        if (records.size() < kMinRecordsForDay) continue;
        if (!any || records.front().epochMjd < earliest) earliest = records.front().epochMjd;
        any = true;
    }
    return any ? std::floor(earliest) : 0.0;
}

}  // namespace

int ReadDayFiles(DayJob& job, const DayFiles& files, RunLog& log) {
    emptyTables(job);
    for (const std::string& path : files.navigationPaths) {
        if (!readNavigation(job, path, log)) return kDayNavigationFailed;
    }
    const MjdSpan ephemeris = ephemerisSpan(job.ephemerides);
    if (!files.navigationPaths.empty() && ephemeris.empty) {
        log.append("\r\nError! no ephemeris in the navigation file(s)\r\n");
        return kDayNavigationFailed;
    }
    if (!files.p1c1Path.empty() || !files.p1p2Path.empty() || !files.p1p2AllPath.empty()) readDcb(job, files, log);
    ObsReadCounts counts;
    if (!readObservations(job, files.observationPath, log, counts)) return kDayObservationFailed;
    if (!ephemeris.empty && !ephemerisNearObservations(ephemeris, counts, log)) return kDayNavigationFailed;
    if (!takeStationPosition(job, log)) return kDayNoStationPosition;
    job.dayStartMjd = processingDay(job.obs);
    return kDayRead;
}
