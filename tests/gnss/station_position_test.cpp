#include "gnss/station_position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "gnss/position_fixture.h"
#include "gnss/time.h"
#include "rinex/nav_reader.h"
#include "rinex/obs_reader.h"
#include "test_support.h"

namespace {

const double kStartMjd = MjdFromCivil(2020, 1, 1, 0, 0, 0.0);
const int kCode = obsCodeId("C1C");

double epochMjd(int k) { return kStartMjd + k * 30.0 / kSecondsPerDay; }

// SBAS satellites with zero velocity stand where their ephemeris puts them, so a synthetic
// sky needs no orbit: satellite i is SBAS number 101 + i.
struct SyntheticSky {
    std::vector<EcefPosition> satellites;

    SyntheticSky(DayJob& job, const EcefPosition& station, std::vector<SkyDirection> directions) {
        job.obs.tecSelection[kSbas].firstCode = kCode;
        for (size_t i = 0; i < directions.size(); ++i) {
            satellites.push_back(satelliteSeenFrom(station, directions[i].elevation_deg, directions[i].azimuth_deg));
            const EcefPosition& p = satellites.back();
            job.ephemerides.sbas[satNo(i)][kStartMjd].push_back(SbasEphemeris{
                .satNo = satNo(i), .systemCode = kSbas, .epochMjd = kStartMjd, .x_m = p.x_m, .y_m = p.y_m, .z_m = p.z_m,
                .af0_s = clock_s(i)});
        }
    }
    static int satNo(size_t i) { return 101 + static_cast<int>(i); }
    static double clock_s(size_t i) { return 2e-5 * static_cast<double>(i); }

    double pseudorange(const EcefPosition& station, size_t i) const {
        return pseudorangeAt(station, satellites[i], 3000.0, clock_s(i));
    }
    static SatEpochRecord record(ObsTable& obs, int k, int satelliteNumber, double pseudorange_m) {
        std::span<SatObservation> values = obs.pool.allocate(1);
        values[0].obsId = kCode;
        values[0].value = pseudorange_m;
        SatEpochRecord r;
        r.epochMjd = epochMjd(k);
        r.satNo = satelliteNumber;
        r.systemCode = systemOf(satelliteNumber);
        r.observations = values;
        return r;
    }
};

// The station moves 1 m in X per epoch, so the averaged position tells which epochs were solved.
EcefPosition movedStation(const EcefPosition& base, int k) { return {base.x_m + k, base.y_m, base.z_m}; }

// Epoch 0: four usable satellites (one more without a pseudorange, one GLONASS satellite
// whose system has no code observable). Epoch 1: six, one 300 km off. Epoch 2: five usable
// and one with an absurd pseudorange. Epochs 3 to last: six good ones.
void fillAwkwardDay(DayJob& job, const SyntheticSky& sky, const EcefPosition& base, int last) {
    for (int k = 0; k <= last; ++k) {
        const EcefPosition here = movedStation(base, k);
        std::vector<SatEpochRecord>& records = job.obs.byEpoch[epochMjd(k)];
        for (size_t i = 0; i < kHighSkyCount; ++i) {
            if (k == 0 && i == 5) continue;
            double value = sky.pseudorange(here, i);
            if (k == 0 && i == 4) value = 0.0;
            if (k == 1 && i == 5) value += 3e5;
            if (k == 2 && i == 5) value = 1e9;
            records.push_back(SyntheticSky::record(job.obs, k, SyntheticSky::satNo(i), value));
        }
        if (k == 0) records.push_back(SyntheticSky::record(job.obs, k, 205, sky.pseudorange(here, 0)));
    }
}

}  // namespace

TEST(StationPosition, SkipsThinAndBadEpochsAndAveragesTheSecondToTwentiethSolution) {
    const EcefPosition base = geodeticToEcef(39.6, 115.9, 88.0);
    for (int last : {22, 21}) {  // 21 solvable epochs, then one short
        DayJob job;
        const SyntheticSky sky(job, base, {std::begin(kHighSky), std::end(kHighSky)});
        fillAwkwardDay(job, sky, base, last);
        RunLog log;
        const int status = SolveStationPosition(job, 0, "", log);
        EXPECT_EQ(log.messages, "");
        if (last == 21) {
            EXPECT_EQ(status, -1);
            EXPECT_FALSE(job.station.known());
            EXPECT_EQ(job.obs.stationX_m, 0.0);
            continue;
        }
        ASSERT_EQ(status, 0);
        // Solved: epochs 2 to 22; averaged: epochs 3 to 21, i.e. 12 m on average.
        EXPECT_NEAR(job.station.x_m, base.x_m + 12.0, 1e-3);
        EXPECT_NEAR(job.station.y_m, base.y_m, 1e-3);
        EXPECT_NEAR(job.station.z_m, base.z_m, 1e-3);
        EXPECT_DOUBLE_EQ(job.obs.stationX_m, job.station.x_m);
        EXPECT_DOUBLE_EQ(job.obs.stationZ_m, job.station.z_m);
    }
}

namespace {

// Epochs 0-20: five high satellites and one at 19 degrees, all exact. Epoch 21: the low one
// 2 km off. Epoch 22: four high ones and the low one, exact. Records in bySatellite only.
void fillMaskedDay(DayJob& job, const EcefPosition& station) {
    std::vector<SkyDirection> directions(std::begin(kHighSky), std::begin(kHighSky) + 5);
    directions.push_back({19.0, 160.0});
    const SyntheticSky sky(job, station, directions);
    for (int k = 0; k <= 22; ++k) {
        for (size_t i = 0; i < directions.size(); ++i) {
            if (k == 22 && i == 4) continue;
            const double error_m = k == 21 && i == 5 ? 2000.0 : 0.0;
            job.obs.bySatellite[SyntheticSky::satNo(i)].push_back(
                SyntheticSky::record(job.obs, k, SyntheticSky::satNo(i), sky.pseudorange(station, i) + error_m));
        }
    }
    job.obs.byEpoch[kStartMjd - 1.0];  // stale: mode 1 rebuilds the index
}

}  // namespace

TEST(StationPosition, EveryEpochModeMasksLowSatellitesOnceThePositionIsKnownAndWritesTheSolutions) {
    const EcefPosition station = geodeticToEcef(-12.05, 284.93, 550.0);
    TempDir dir;
    const std::string path = dir.path() + "positions.txt";
    DayJob job;
    fillMaskedDay(job, station);
    RunLog log;
    ASSERT_EQ(SolveStationPosition(job, 1, path, log), 0);
    EXPECT_EQ(job.obs.byEpoch.size(), 23u);
    EXPECT_EQ(job.obs.byEpoch.count(kStartMjd - 1.0), 0u);
    EXPECT_NEAR(job.station.x_m, station.x_m, 1e-3);

    // Epochs 1 to 21: epoch 0 is left out, epoch 22 has four satellites above the mask.
    std::istringstream text(readWholeFile(path));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0].substr(0, 7), "0.0083\t");
    double hour = 0, lat = 0, lon = 0, height = 0;
    ASSERT_EQ(std::sscanf(lines.back().c_str(), "%lf\t%lf\t%lf\t%lf", &hour, &lat, &lon, &height), 4);
    EXPECT_DOUBLE_EQ(hour, 0.175);
    EXPECT_NEAR(lat, -12.05, 1e-6);  // the 2 km error of the low satellite did not take part
    EXPECT_NEAR(lon, 284.93 - 360.0, 1e-6);
    EXPECT_NEAR(height, 550.0, 0.006);

    DayJob unwritable;
    fillMaskedDay(unwritable, station);
    RunLog failed;
    EXPECT_EQ(SolveStationPosition(unwritable, 1, dir.path() + "no/such/dir/positions.txt", failed), -2);
    EXPECT_NE(failed.messages.find("Error! can't write the station position solutions to "), std::string::npos);
    EXPECT_TRUE(unwritable.station.known());
}

TEST(StationPosition, BjfsWithItsHeaderPositionBlankedLandsNearIt) {
    const std::string day = sharedDataDir().empty() ? "" : sharedDataDir() + "set1_bjfs_2020_001/";
    if (day.empty() || !std::filesystem::exists(day + "bjfs0010.20o")) GTEST_SKIP() << "no shared data";
    std::string obs = readWholeFile(day + "bjfs0010.20o");
    const size_t label = obs.find("APPROX POSITION XYZ");
    ASSERT_NE(label, std::string::npos);
    const size_t lineStart = obs.rfind('\n', label) + 1;
    obs.replace(lineStart, 42, "        0.0000        0.0000        0.0000");
    TempDir dir;
    const std::string blanked = dir.write("bjfs0010.20o", obs);

    DayJob job;
    RunLog log;
    OBS_readR3(blanked, job.obs, job.obsHeader, log);
    ASSERT_EQ(job.obs.byEpoch.size(), 100u);
    ASSERT_EQ(readNavigationFile(day + "brdc0010.20n", job.ephemerides, job.navHeader, log), 0);
    ASSERT_EQ(SolveStationPosition(job, 0, "", log), 0);
    const double distance_m =
        std::hypot(job.station.x_m + 2148744.6531, job.station.y_m - 4426641.5827, job.station.z_m - 4044656.5218);
    std::printf("BJFS position solution: %.3f m from the header position\n", distance_m);
    EXPECT_LT(distance_m, 100.0);
}
