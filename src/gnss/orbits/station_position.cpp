#include "gnss/orbits/station_position.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "geodesy/geodetic.h"
#include "gnss/orbits/look_geometry.h"
#include "gnss/orbits/orbit.h"
#include "gnss/orbits/point_position.h"
#include "geodesy/time.h"
#include "platform/safe_output.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

constexpr size_t kMinSatellites = 5;
constexpr size_t kSolutionsForPosition = 21;  // the first is left out of the mean
constexpr double kElevationMask_rad = 20.0 * kDegreesToRadians;
// Pseudoranges and orbit radii of GNSS satellites, medium orbits to geostationary, lie
// well inside this band even with a receiver clock some milliseconds off.
constexpr double kMinGnssDistance_m = 1.0e7;
constexpr double kMaxGnssDistance_m = 5.0e7;
// Unmodelled ionosphere and troposphere leave residuals of metres to tens of metres; a
// kilometre means a bad pseudorange or orbit in the epoch.
constexpr double kMaxResidualRms_m = 1000.0;

struct EpochSolution {
    double hour = 0.0;  // of day
    double latitude_deg = 0.0;
    double longitude_deg = 0.0;
    double height_m = 0.0;
    PositionEstimate position;
};

bool plausibleGnssDistance(double d_m) { return d_m >= kMinGnssDistance_m && d_m <= kMaxGnssDistance_m; }

double hourOfDay(double mjd) {
    std::int32_t hour = 0, minute = 0;
    double second = 0.0;
    SplitSecondsOfDay((mjd - std::floor(mjd)) * kSecondsPerDay, hour, minute, second);
    return hour + minute / 60.0 + second / 3600.0;
}

// The satellites of one epoch that take part; with an approximate position, only those
// above the elevation mask.
std::vector<SatelliteRange> usableSatellites(const DayJob& job, double mjd, const std::vector<SatEpochRecord>& records,
                                             const std::optional<PositionEstimate>& approximate) {
    std::vector<SatelliteRange> satellites;
    std::vector<int> taken;  // a satellite listed twice (overlapping files) counts once
    for (const SatEpochRecord& record : records) {
        const auto selection = job.obs.tecSelection.find(record.systemCode);
        if (selection == job.obs.tecSelection.end() || selection->second.firstCode == kNoObsCode) continue;
        const double pseudorange_m = record.value(selection->second.firstCode);
        if (!plausibleGnssDistance(pseudorange_m)) continue;
        if (!HasEphemeris(job.ephemerides, record.satNo)) continue;
        if (std::find(taken.begin(), taken.end(), record.satNo) != taken.end()) continue;
        SatState state;
        // At the epoch itself, not at the signal's sending time: the satellite's motion in the
        // ~70 ms of travel costs the solution some tens of metres, which the pierce points can bear.
        if (!SatellitePosition(job.ephemerides, record.satNo, mjd, state, EphemerisUse::kCurrentRecord)) continue;
        if (!plausibleGnssDistance(std::hypot(state.x_m, state.y_m, state.z_m))) continue;
        if (!std::isfinite(state.clockOffset_s)) continue;
        if (approximate) {
            double elevation_rad = 0.0, azimuth_rad = 0.0;
            if (!LookAngles(approximate->x_m, approximate->y_m, approximate->z_m, state.x_m, state.y_m, state.z_m,
                            elevation_rad, azimuth_rad) ||
                !(elevation_rad > kElevationMask_rad)) {
                continue;
            }
        }
        satellites.push_back({pseudorange_m, state.x_m, state.y_m, state.z_m, state.clockOffset_s});
        taken.push_back(record.satNo);
    }
    return satellites;
}

// Mean position of the 2nd to the 20th solution.
PositionEstimate meanOfEarlySolutions(const std::vector<EpochSolution>& solutions) {
    PositionEstimate mean;
    const size_t last = kSolutionsForPosition - 1;
    for (size_t i = 1; i < last; ++i) {
        mean.x_m += solutions[i].position.x_m;
        mean.y_m += solutions[i].position.y_m;
        mean.z_m += solutions[i].position.z_m;
    }
    const double count = static_cast<double>(last - 1);
    mean.x_m /= count;
    mean.y_m /= count;
    mean.z_m /= count;
    return mean;
}

void rebuildEpochIndex(ObsTable& obs) {
    obs.byEpoch.clear();
    for (const auto& [satNo, records] : obs.bySatellite) {
        for (const SatEpochRecord& record : records) obs.byEpoch[record.epochMjd].push_back(record);
    }
}

// Every solution after the first, written under a temporary name and renamed into place;
// false when the file cannot be written.
bool writeSolutions(const std::string& path, const std::vector<EpochSolution>& solutions) {
    std::string text;
    for (size_t i = 1; i < solutions.size(); ++i) {
        const EpochSolution& s = solutions[i];
        text += strfmt("%2.4f\t%2.6f\t%2.6f\t%2.2f\n", s.hour, s.latitude_deg, s.longitude_deg, s.height_m);
    }
    return writeFileAtomically(path, text, ReplacePolicy::kReplaceRegularFile) == OutputStatus::kOk;
}

}  // namespace

StationPositionResult SolveStationPosition(DayJob& job, int mode, const std::string& solutionsPath, RunLog& log) {
    const bool everyEpoch = mode == 1;
    if (everyEpoch) rebuildEpochIndex(job.obs);

    std::vector<EpochSolution> solutions;
    std::optional<PositionEstimate> approximate;
    for (const auto& [mjd, records] : job.obs.byEpoch) {
        const std::vector<SatelliteRange> satellites = usableSatellites(job, mjd, records, approximate);
        if (satellites.size() < kMinSatellites) continue;
        PointPositionResult fix;
        if (!PointPosition(satellites, fix)) {
            log.append(fix.failure);
            continue;
        }
        if (!(fix.residualRms_m <= kMaxResidualRms_m)) continue;
        solutions.push_back({hourOfDay(mjd), fix.latitude_deg, fix.longitude_deg, fix.height_m, fix.solution()});

        if (!approximate && solutions.size() == kSolutionsForPosition) {
            approximate = meanOfEarlySolutions(solutions);
            job.station.setFromEcef(approximate->x_m, approximate->y_m, approximate->z_m);
            job.obs.stationX_m = approximate->x_m;
            job.obs.stationY_m = approximate->y_m;
            job.obs.stationZ_m = approximate->z_m;
            if (!everyEpoch) return StationPositionResult::kEstablished;
        }
    }

    if (everyEpoch && !writeSolutions(solutionsPath, solutions)) {
        log.append(strfmt("\r\nError! can't write the station position solutions to %s\r\n", solutionsPath.c_str()));
        return StationPositionResult::kSolutionsNotWritten;
    }
    return approximate ? StationPositionResult::kEstablished : StationPositionResult::kNotEstablished;
}

}  // namespace velarix
