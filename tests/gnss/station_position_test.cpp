// The station position from single-point solutions, on synthetic skies: satellites in
// chosen directions from a station and the pseudoranges it would measure. Exact
// pseudoranges give the position to a millimetre only with the Earth turned during the
// signal's travel and both clocks accounted for.
#include "gnss/orbits/station_position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "geodesy/geodetic.h"
#include "gnss/orbits/point_position.h"
#include "gnss/orbits/svd.h"
#include "geodesy/time.h"
#include "test_support.h"

namespace velarix {

namespace {

struct SkyDirection {
    double elevation_deg, azimuth_deg;
};
// Six satellites well above 20 degrees, spread in azimuth.
const std::vector<SkyDirection> kHighSky = {{80, 30}, {45, 120}, {35, 210}, {30, 300}, {55, 0}, {25, 75}};

// The satellite in that direction, 20 000 km away plus 50 km per degree below the zenith.
EcefPosition satelliteSeenFrom(const EcefPosition& station, SkyDirection d) {
    const GeodeticPosition g = ecefToGeodetic(station.x_m, station.y_m, station.z_m);
    const double lat = g.latitude_deg * kDegreesToRadians, lon = g.longitude_deg * kDegreesToRadians;
    const double el = d.elevation_deg * kDegreesToRadians, az = d.azimuth_deg * kDegreesToRadians;
    const double range = 2.0e7 + (90.0 - d.elevation_deg) * 5.0e4;
    const double e = range * std::cos(el) * std::sin(az), n = range * std::cos(el) * std::cos(az);
    const double u = range * std::sin(el);
    return {station.x_m - std::sin(lon) * e - std::sin(lat) * std::cos(lon) * n + std::cos(lat) * std::cos(lon) * u,
            station.y_m + std::cos(lon) * e - std::sin(lat) * std::sin(lon) * n + std::cos(lat) * std::sin(lon) * u,
            station.z_m + std::cos(lat) * n + std::sin(lat) * u};
}

double distance(const EcefPosition& a, const EcefPosition& b) {
    return std::hypot(a.x_m - b.x_m, a.y_m - b.y_m, a.z_m - b.z_m);
}

const double kStartMjd = MjdFromCivil(2020, 1, 1, 0, 0, 0.0);
const int kCode = obsCodeId("C1C");

// SBAS satellites with zero velocity stand where their ephemeris puts them, so a synthetic
// sky needs no orbit: direction i is SBAS number 101 + i, its clock 2e-5 i s off.
struct SyntheticSky {
    SyntheticSky(const EcefPosition& station, const std::vector<SkyDirection>& directions) {
        job.obs.tecSelection[kSbas].firstCode = kCode;
        for (size_t i = 0; i < directions.size(); ++i) {
            const EcefPosition p = satellites.emplace_back(satelliteSeenFrom(station, directions[i]));
            job.ephemerides.sbas[101 + int(i)][kStartMjd].push_back(SbasEphemeris{
                .satNo = 101 + int(i), .systemCode = kSbas, .epochMjd = kStartMjd, .x_m = p.x_m, .y_m = p.y_m,
                .z_m = p.z_m, .af0_s = 2e-5 * double(i)});
        }
    }
    // What a station at `at` measures from satellite i: the range to where the satellite
    // was at sending (turned about the z axis by the Earth's rotation during the travel),
    // a receiver clock term of 3 km and the satellite's clock.
    double pseudorange(size_t i, const EcefPosition& at) const {
        const EcefPosition& sat = satellites[i];
        const double angle = kEarthRotationInTravel_radps * distance(sat, at) / kSpeedOfLight_mps;
        const double c = std::cos(angle), s = std::sin(angle);
        return distance({sat.x_m * c + sat.y_m * s, sat.y_m * c - sat.x_m * s, sat.z_m}, at) + 3000.0 -
               kSpeedOfLight_mps * 2e-5 * double(i);
    }
    // The record of epoch k (30 s apart), by satellite and by epoch.
    void add(int k, int satNo, double pseudorange_m) {
        std::span<SatObservation> values = job.obs.pool.allocate(1);
        values[0] = {pseudorange_m, kCode, 0, 0};
        const SatEpochRecord r{.epochMjd = kStartMjd + k * 30.0 / kSecondsPerDay, .satNo = satNo,
                               .systemCode = systemOf(satNo), .observations = values};
        job.obs.bySatellite[satNo].push_back(r);
        job.obs.byEpoch[r.epochMjd].push_back(r);
    }
    DayJob job;
    std::vector<EcefPosition> satellites;
};

}  // namespace

TEST(StationPosition, SkipsBadEpochsAveragesTheSecondToTwentiethSolutionThenMasksLowSatellites) {
    // Six high satellites and one at 19 degrees. The station moves 1 m in X per epoch, so
    // the mean tells which epochs were solved. Epoch 0: four usable satellites (one without
    // a pseudorange, one missing, one GLONASS satellite whose system has no code
    // observable). Epoch 1: one 300 km off. Epoch 2: one with an absurd pseudorange.
    // Epochs 3-22: all exact. Epoch 23: the low one 2 km off. Epoch 24: four high ones.
    const EcefPosition base = geodeticToEcef(-12.05, 284.93, 550.0);
    std::vector<SkyDirection> directions = kHighSky;
    directions.push_back({19.0, 160.0});
    SyntheticSky sky(base, directions);
    const auto at = [&base](int k) { return EcefPosition{base.x_m + k, base.y_m, base.z_m}; };
    for (int k = 0; k <= 24; ++k) {
        for (size_t i = 0; i < directions.size(); ++i) {
            if ((k == 0 && i >= 5) || (k == 24 && i >= 4)) continue;
            double value = sky.pseudorange(i, at(k));
            if (k == 0 && i == 4) value = 0.0;
            if (k == 1 && i == 5) value += 3e5;
            if (k == 2 && i == 5) value = 1e9;
            if (k == 23 && i == 6) value += 2000.0;
            sky.add(k, 101 + int(i), value);
        }
        if (k == 0) sky.add(k, 205, sky.pseudorange(0, at(k)));
    }
    // Solved: epochs 2 to 22; averaged: epochs 3 to 21, i.e. 12 m on average.
    RunLog log;
    ASSERT_EQ(SolveStationPosition(sky.job, 0, "", log), StationPositionResult::kEstablished);
    EXPECT_EQ(log.messages, "");
    EXPECT_LT(distance({sky.job.station.x_m, sky.job.station.y_m, sky.job.station.z_m}, at(12)), 1e-3);
    EXPECT_TRUE(sky.job.obs.stationX_m == sky.job.station.x_m && sky.job.obs.stationZ_m == sky.job.station.z_m);

    // Every epoch: the index is rebuilt from bySatellite; epochs 3 to 23 are written (the
    // first solution is left out, epoch 24 has four satellites above the mask).
    sky.job.obs.byEpoch[kStartMjd - 1.0];
    TempDir dir;
    ASSERT_EQ(SolveStationPosition(sky.job, 1, dir.path() + "positions.txt", log),
              StationPositionResult::kEstablished);
    EXPECT_EQ(sky.job.obs.byEpoch.count(kStartMjd - 1.0), 0u);
    const std::string text = readWholeFile(dir.path() + "positions.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21);
    EXPECT_EQ(text.substr(0, 7), "0.0250\t");
    double hour = 0, lat = 0, lon = 0, height = 0;
    const char* last = text.c_str() + text.rfind('\n', text.size() - 2) + 1;
    ASSERT_EQ(std::sscanf(last, "%lf\t%lf\t%lf\t%lf", &hour, &lat, &lon, &height), 4);
    const GeodeticPosition expected = ecefToGeodetic(base.x_m + 23, base.y_m, base.z_m);
    EXPECT_NEAR(hour, 23 * 30 / 3600.0, 1e-4);
    EXPECT_NEAR(lat, expected.latitude_deg, 1e-6);  // the 2 km error of the low satellite did not take part
    EXPECT_NEAR(lon, expected.longitude_deg, 1e-6);
    EXPECT_NEAR(height, expected.height_m, 0.006);
    // A file that cannot be written is reported; the position is stored all the same.
    sky.job.station = {};
    EXPECT_EQ(SolveStationPosition(sky.job, 1, dir.path() + "no/such/dir/positions.txt", log),
              StationPositionResult::kSolutionsNotWritten);
    EXPECT_TRUE(contains(log.messages, "Error! can't write the station position solutions to ")) << log.messages;
    EXPECT_TRUE(sky.job.station.known());
    // Up to epoch 21 only 20 solutions: no position.
    sky.job.station = {};
    sky.job.obs.stationX_m = 0.0;
    sky.job.obs.byEpoch.erase(sky.job.obs.byEpoch.upper_bound(kStartMjd + 21 * 30.0 / kSecondsPerDay + 1e-9),
                              sky.job.obs.byEpoch.end());
    EXPECT_EQ(SolveStationPosition(sky.job, 0, "", log), StationPositionResult::kNotEstablished);
    EXPECT_TRUE(!sky.job.station.known() && sky.job.obs.stationX_m == 0.0);
}

TEST(PointPosition, TheFirstIterationTurnsNoSatellite) {
    const EcefPosition station = geodeticToEcef(39.6, 115.9, 87.0);
    const SyntheticSky sky(station, kHighSky);
    std::vector<SatelliteRange> satellites;
    for (size_t i = 0; i < sky.satellites.size(); ++i) {
        const EcefPosition& p = sky.satellites[i];
        satellites.push_back({sky.pseudorange(i, station), p.x_m, p.y_m, p.z_m, 2e-5 * double(i)});
    }
    PointPositionResult result;
    ASSERT_TRUE(PointPosition(satellites, result));
    EXPECT_LT(distance({result.solution().x_m, result.solution().y_m, result.solution().z_m}, station), 1e-3);

    // The first step from the Earth's centre, by the normal equations, with the satellites
    // where the ephemeris puts them.
    double n[4][5] = {};
    for (const SatelliteRange& s : satellites) {
        const double row[4] = {-s.x_m / s.pseudorange_m, -s.y_m / s.pseudorange_m, -s.z_m / s.pseudorange_m, 1.0};
        const double residual = s.pseudorange_m - std::hypot(s.x_m, s.y_m, s.z_m) + kSpeedOfLight_mps * s.clockOffset_s;
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) n[r][c] += row[r] * row[c];
            n[r][4] += row[r] * residual;
        }
    }
    for (int p = 0; p < 4; ++p) {
        for (int r = p + 1; r < 4; ++r) {
            const double f = n[r][p] / n[p][p];
            for (int c = p; c < 5; ++c) n[r][c] -= f * n[p][c];
        }
    }
    double step[4];
    for (int r = 3; r >= 0; --r) {
        step[r] = n[r][4];
        for (int c = r + 1; c < 4; ++c) step[r] -= n[r][c] * step[c];
        step[r] /= n[r][r];
    }
    const PositionEstimate& first = result.iterations[0];
    EXPECT_NEAR(first.x_m, step[0], 1e-3 * std::abs(step[0]) + 1e-3);
    EXPECT_NEAR(first.y_m, step[1], 1e-3 * std::abs(step[1]) + 1e-3);
    EXPECT_NEAR(first.z_m, step[2], 1e-3 * std::abs(step[2]) + 1e-3);

    // Three satellites cannot fix four unknowns: no solution, and the decomposition says why.
    ASSERT_FALSE(PointPosition(std::span(satellites).first(3), result));
    EXPECT_EQ(result.failure, kSvdTooFewRows);
}

}  // namespace velarix
