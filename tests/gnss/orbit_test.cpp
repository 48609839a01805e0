#include "gnss/orbit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gnss/orbit_check.h"
#include "gnss/orbit_models.h"
#include "gnss/time.h"
#include "platform/run_log.h"
#include "test_support.h"

namespace {

// Galileo-like records every 1/128 day (exact in binary, so midpoints are exact ties); the
// clock term af0 holds the record's index.
EphemerisTable galileoRecords(int satNo, int count, double firstMjd) {
    EphemerisTable table;
    for (int i = 0; i < count; ++i) {
        KeplerEphemeris k;
        k.satNo = satNo;
        k.tocMjd = k.toeMjd = firstMjd + i / 128.0;
        k.af0_s = i;
        table.kepler[satNo][k.tocMjd].push_back(k);
    }
    return table;
}

// The mixed navigation file of set 7 (GPS, GLONASS, Galileo, BeiDou).
bool readEsbcNavigation(const std::string& shared, EphemerisTable& table) {
    RunLog log;
    return ReadBroadcastOrbits(shared + "set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_MN.rnx.gz", table, log) == 0;
}

double selectedIndex(const EphemerisTable& table, int satNo, double mjd) {
    const SelectedEphemeris s = SelectEphemeris(table, satNo, mjd);
    return s.kepler != nullptr ? s.kepler->af0_s : -1.0;
}

}  // namespace

TEST(SelectEphemeris, NearestOfAllRecordsWithTheEarlierOnATieAndTheFirstOfAnEpoch) {
    const double first = 59025.0;
    EphemerisTable table = galileoRecords(311, 150, first);
    // A second record with the epoch of record 140 comes after it and must not be used.
    KeplerEphemeris duplicate = table.kepler[311][first + 140 / 128.0].front();
    duplicate.af0_s = 1000.0;
    table.kepler[311][duplicate.tocMjd].push_back(duplicate);

    // Late in the day: record 140, not the last of the first hundred.
    EXPECT_EQ(selectedIndex(table, 311, first + 140.2 / 128.0), 140.0);
    EXPECT_EQ(selectedIndex(table, 311, first + 120.5 / 128.0), 120.0);  // exact tie
    EXPECT_EQ(selectedIndex(table, 311, first - 3.0), 0.0);
    EXPECT_EQ(selectedIndex(table, 311, first + 10.0), 149.0);
    // Every 1/1024 day (ties included) agrees with the plain walk over all records.
    for (int q = -20; q < 150 * 8 + 20; ++q) {
        const double mjd = first + q / 1024.0;
        double bestHours = 999999.0, expected = -1.0;
        for (const auto& [epoch, records] : table.kepler[311]) {
            const double hours = std::abs(mjd - epoch) * 24.0;
            if (hours < bestHours) bestHours = hours, expected = records.front().af0_s;
        }
        ASSERT_EQ(selectedIndex(table, 311, mjd), expected) << q;
    }

    // One record is used however far away; other families and unknown systems.
    table.kepler[5][40000.0].push_back(KeplerEphemeris{});
    EXPECT_NE(SelectEphemeris(table, 5, 60000.0).kepler, nullptr);
    table.glonass[205][first].push_back(GlonassEphemeris{});
    table.sbas[120][first].push_back(SbasEphemeris{});
    EXPECT_NE(SelectEphemeris(table, 205, first).glonass, nullptr);
    EXPECT_NE(SelectEphemeris(table, 120, first).sbas, nullptr);
    EXPECT_EQ(SelectEphemeris(table, 206, first).glonass, nullptr);
    const SelectedEphemeris unknown = SelectEphemeris(table, 850, first);
    EXPECT_TRUE(unknown.kepler == nullptr && unknown.glonass == nullptr && unknown.sbas == nullptr);

    SatState state;
    EXPECT_EQ(SatellitePosition(table, 850, first, state), -1);
    EXPECT_EQ(SatellitePosition(table, 7, first, state), -1);
    // A record without a semi-major axis has no orbit: no satellite at the Earth's centre.
    EXPECT_EQ(SatellitePosition(table, 311, first, state), -1);
}

TEST(KeplerOrbit, EccentricAnomalyAndBeiDouGeostationaryFrame) {
    int iterations = -1;
    EXPECT_EQ(EccentricAnomaly(0.0, 0.0, iterations), 0.0);
    EXPECT_EQ(iterations, 0);
    const double e = EccentricAnomaly(1.0, 0.02, iterations);
    EXPECT_NEAR(e - 0.02 * std::sin(e), 1.0, 1e-14);
    EXPECT_GT(iterations, 1);

    EXPECT_TRUE(IsBeiDouGeo(401) && IsBeiDouGeo(405) && IsBeiDouGeo(459) && IsBeiDouGeo(463));
    EXPECT_FALSE(IsBeiDouGeo(406) || IsBeiDouGeo(458) || IsBeiDouGeo(464) || IsBeiDouGeo(5));

    // C05 sits over the equator at 58.75 E; its elements give that place only through
    // the GEO frame. The same record numbered 406 lands thousands of km away.
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    EphemerisTable table;
    ASSERT_TRUE(readEsbcNavigation(shared, table));
    ASSERT_EQ(table.kepler.count(405), 1u);
    table.kepler[406] = table.kepler[405];
    for (auto& [epoch, records] : table.kepler[406]) records.front().satNo = 406;
    const double day = MjdFromCivil(2020, 6, 25, 0, 0, 0.0);
    for (double hour = 0.5; hour < 24.0; hour += 2.0) {
        SatState geo, meo;
        ASSERT_EQ(SatellitePosition(table, 405, day + hour / 24.0, geo), 0);
        ASSERT_EQ(SatellitePosition(table, 406, day + hour / 24.0, meo), 0);
        const double radius = std::hypot(geo.x_m, geo.y_m, geo.z_m);
        EXPECT_NEAR(radius, 42164e3, 100e3) << hour;
        EXPECT_LT(std::abs(geo.z_m / radius), std::sin(2.0 * M_PI / 180.0)) << hour;
        EXPECT_NEAR(std::atan2(geo.y_m, geo.x_m) * 180.0 / M_PI, 58.75, 0.5) << hour;
        EXPECT_GT(std::hypot(geo.x_m - meo.x_m, geo.y_m - meo.y_m, geo.z_m - meo.z_m), 1000e3) << hour;
    }
}

TEST(SatellitePosition, VelocityAndDriftMatchCentralDifferences) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    EphemerisTable table;
    ASSERT_TRUE(readEsbcNavigation(shared, table));
    const double mjd = MjdFromCivil(2020, 6, 25, 13, 7, 12.0);
    const double second = 1.0 / kSecondsPerDay;
    for (int satNo : {5, 211, 301, 419}) {
        SatState at, before, after;
        ASSERT_EQ(SatellitePosition(table, satNo, mjd, at), 0) << satNo;
        ASSERT_EQ(SatellitePosition(table, satNo, mjd - second, before), 0);
        ASSERT_EQ(SatellitePosition(table, satNo, mjd + second, after), 0);
        EXPECT_GT(std::hypot(at.vx_mps, at.vy_mps, at.vz_mps), 1000.0) << satNo;
        EXPECT_NEAR(at.vx_mps, (after.x_m - before.x_m) / 2.0, 0.01) << satNo;
        EXPECT_NEAR(at.vy_mps, (after.y_m - before.y_m) / 2.0, 0.01) << satNo;
        EXPECT_NEAR(at.vz_mps, (after.z_m - before.z_m) / 2.0, 0.01) << satNo;
        EXPECT_NEAR(at.clockDrift_sps, (after.clockOffset_s - before.clockOffset_s) / 2.0, 1e-13) << satNo;
    }
}

TEST(GlonassOrbit, StepsOfSixtySecondsWithTheLastShortened) {
    GlonassEphemeris g;
    g.epochMjd = 59025.5;
    g.x_m = 7003008.789;
    g.y_m = -12206626.953;
    g.z_m = 21280765.625;
    g.vx_mps = 783.8;
    g.vy_mps = 2804.5;
    g.vz_mps = 1352.9;
    g.tauN_s = 1e-4;
    g.gammaN = 1e-12;
    std::vector<double> steps;
    SatState s;
    GlonassPosition(g, g.epochMjd + 150.0 / kSecondsPerDay, s, &steps);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0], 60.0);
    EXPECT_EQ(steps[1], 60.0);
    EXPECT_NEAR(steps[2], 30.0, 1e-6);
    EXPECT_NEAR(s.clockOffset_s, 1e-12 * 150.0 - 1e-4, 1e-15);
    steps.clear();
    GlonassPosition(g, g.epochMjd - 90.0 / kSecondsPerDay, s, &steps);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0], -60.0);
    EXPECT_NEAR(steps[1], -30.0, 1e-6);
    steps.clear();
    GlonassPosition(g, g.epochMjd, s, &steps);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(s.x_m, g.x_m);
    EXPECT_EQ(s.z_m, g.z_m);
}
