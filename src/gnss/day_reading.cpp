#include "gnss/day_reading.h"

#include <cmath>

#include "gnss/orbits/station_position.h"
#include "platform/strfmt.h"
#include "rinex/nav_reader.h"
#include "rinex/obs_reader.h"

namespace {

// A header position this far below the ellipsoid is no position.
constexpr double kLowestHeaderHeight_m = -300.0;
constexpr std::size_t kMinRecordsForDay = 5;

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
    if (result == -1) return false;
    log.append(" ..done!");
    return true;
}

bool readObservations(DayJob& job, const std::string& path, RunLog& log) {
    log.append("\r\nReading Rinex Obs. file " + path);
    OBS_readR3(path, job.obs, job.obsHeader, log);
    if (job.obs.readStatus < 0) {
        log.appendError(path + " .. Obs. file read ERRORS\r\n");
        log.append("\r\nObs. file read ERRORS.... \r\n");
        return false;
    }
    log.append("\r\nObs. file read completed.... \r\n");
    return true;
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
    if (!files.p1c1Path.empty() || !files.p1p2Path.empty() || !files.p1p2AllPath.empty()) {
        log.append("\r\nReading DCB file(s).... ");
        ReadDcbFiles(files.p1c1Path, files.p1p2Path, files.p1p2AllPath, job.dcb);
        log.append("done!");
    }
    if (!readObservations(job, files.observationPath, log)) return kDayObservationFailed;
    if (!takeStationPosition(job, log)) return kDayNoStationPosition;
    job.dayStartMjd = processingDay(job.obs);
    return kDayRead;
}
