#include "gnss/checks/orbit_check.h"

#include <algorithm>
#include <cmath>

#include "decompress/plain_copy.h"
#include "gnss/constants.h"
#include "gnss/orbits/orbit.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "rinex/nav_reader.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {


// The selected record's reference epoch and health.
struct RecordInfo {
    bool found = false;
    double epochMjd = 0.0;
    bool healthy = true;
    bool kepler = false;
};

RecordInfo recordFor(const EphemerisTable& table, int satNo, double mjd) {
    const SelectedEphemeris s = SelectEphemeris(table, satNo, mjd);
    if (s.kepler != nullptr) return {true, s.kepler->tocMjd, s.kepler->health == 0, true};
    if (s.glonass != nullptr) return {true, s.glonass->epochMjd, s.glonass->health == 0, false};
    if (s.sbas != nullptr) return {true, s.sbas->epochMjd, s.sbas->health == 0, false};
    return {};
}

bool withinWindow(const ValidityWindow& window, double recordMjd, double mjd) {
    const double after_h = (mjd - recordMjd) * 24.0;
    return after_h >= -window.before_h && after_h <= window.after_h;
}

// One satellite's broadcast-minus-precise clock at one epoch.
struct ClockDifference {
    std::size_t satellite;  // index into the result's satellites
    double difference_s;
    bool healthy;
};

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    const std::size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + mid, values.end());
    if (values.size() % 2 == 1) return values[mid];
    const double upper = values[mid];
    return (*std::max_element(values.begin(), values.begin() + mid) + upper) / 2.0;
}

// Clock RMS per satellite after removing, at every epoch, the mean difference of the
// system's healthy satellites (the datum of the precise clocks is arbitrary). Epochs with
// fewer than two healthy satellites of the system give no datum.
void clockResiduals(const std::map<std::pair<int, double>, std::vector<ClockDifference>>& byEpoch,
                    std::vector<SatelliteOrbitCheck>& satellites) {
    std::vector<double> sumSquares_s2(satellites.size(), 0.0);
    for (const auto& [key, differences] : byEpoch) {
        double sum = 0.0;
        int healthy = 0;
        for (const ClockDifference& d : differences) {
            if (d.healthy) sum += d.difference_s, ++healthy;
        }
        if (healthy < 2) continue;
        const double datum = sum / healthy;
        for (const ClockDifference& d : differences) {
            sumSquares_s2[d.satellite] += (d.difference_s - datum) * (d.difference_s - datum);
            satellites[d.satellite].clockEpochs += 1;
        }
    }
    for (std::size_t i = 0; i < satellites.size(); ++i) {
        if (satellites[i].clockEpochs > 0)
            satellites[i].clockRms_ns = std::sqrt(sumSquares_s2[i] / satellites[i].clockEpochs) * 1e9;
    }
}

}  // namespace

ValidityWindow OrbitCheckWindow(int systemCode) {
    switch (systemCode) {
        case kGps:
        case kQzss:
        case kIrnss: return {2.0, 2.0};
        case kGalileo:
        case kBeiDou: return {0.5, 2.0};
        case kGlonass: return {16.0 / 60.0, 16.0 / 60.0};
        case kSbas: return {10.0 / 60.0, 10.0 / 60.0};
        default: return {};
    }
}

OrbitCheckResult CheckBroadcastOrbits(const EphemerisTable& broadcast, const Sp3Orbits& precise) {
    OrbitCheckResult result;
    std::map<std::pair<int, double>, std::vector<ClockDifference>> clocksByEpoch;  // (system, MJD)
    for (const auto& [satNo, samples] : precise.bySatellite) {
        if (HasEphemeris(broadcast, satNo) == 0) continue;
        const ValidityWindow window = OrbitCheckWindow(systemOf(satNo));
        SatelliteOrbitCheck check;
        check.satNo = satNo;
        double sumSquares_m2 = 0.0;
        std::vector<std::pair<double, ClockDifference>> clocks;  // epoch, difference
        for (const auto& [mjd, sample] : samples) {
            const RecordInfo record = recordFor(broadcast, satNo, mjd);
            SatState state;
            if (!record.found || !withinWindow(window, record.epochMjd, mjd) ||
                !SatellitePosition(broadcast, satNo, mjd, state)) {
                ++check.epochsSkipped;
                continue;
            }
            const double dx = state.x_m - sample.x_m, dy = state.y_m - sample.y_m, dz = state.z_m - sample.z_m;
            const double d2 = dx * dx + dy * dy + dz * dz;
            sumSquares_m2 += d2;
            check.max3d_m = std::max(check.max3d_m, std::sqrt(d2));
            check.healthy = check.healthy && record.healthy;
            ++check.epochs;
            if (!sample.hasClock) continue;
            // The Keplerian clock includes the periodic relativistic term -2 r.v / c^2.
            const double radialVelocity =
                state.x_m * state.vx_mps + state.y_m * state.vy_mps + state.z_m * state.vz_mps;
            const double clock_s =
                state.clockOffset_s + (record.kepler ? 2.0 * radialVelocity / kSpeedOfLightSquared_m2ps2 : 0.0);
            clocks.push_back({mjd, {result.satellites.size(), clock_s - sample.clock_s, record.healthy}});
        }
        if (check.epochs == 0) continue;
        check.rms3d_m = std::sqrt(sumSquares_m2 / check.epochs);
        for (auto& [mjd, difference] : clocks) {
            // A satellite counts for the datum only when it is healthy throughout.
            difference.healthy = difference.healthy && check.healthy;
            clocksByEpoch[{systemOf(satNo), mjd}].push_back(difference);
        }
        result.satellites.push_back(check);
    }
    clockResiduals(clocksByEpoch, result.satellites);

    std::map<int, std::pair<std::vector<double>, std::vector<double>>> healthyValues;  // system -> rms, clock rms
    for (const SatelliteOrbitCheck& check : result.satellites) {
        if (!check.healthy) continue;
        auto& [rms, clockRms] = healthyValues[systemOf(check.satNo)];
        rms.push_back(check.rms3d_m);
        if (check.clockEpochs > 0) clockRms.push_back(check.clockRms_ns);
    }
    for (const auto& [system, values] : healthyValues) {
        SystemOrbitSummary& summary = result.bySystem[system];
        summary.satellites = static_cast<int>(values.first.size());
        summary.medianRms3d_m = median(values.first);
        summary.maxRms3d_m = *std::max_element(values.first.begin(), values.first.end());
        summary.medianClockRms_ns = median(values.second);
    }
    return result;
}

NavReadResult ReadBroadcastOrbits(const std::string& path, EphemerisTable& table, RunLog& log) {
    table.clear();
    PlainCopy plain(path);
    if (!plain.ok()) {
        log.append(strfmt("\r\nError! navigation file cannot be expanded: %s: %s", path.c_str(), plain.error().c_str()));
        return NavReadResult::kCannotOpen;
    }
    NavHeader header;
    return readNavigationFile(plain.path(), table, header, log);
}

}  // namespace velarix
