#include "gnss/orbits/orbit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gnss/checks/orbit_check.h"
#include "gnss/orbits/orbit_models.h"
#include "geodesy/time.h"
#include "platform/run_log.h"
#include "test_support.h"

namespace velarix {

TEST(SelectEphemeris, NearestOfAllRecordsWithTheEarlierOnATieAndTheFirstOfAnEpoch) {
    // Galileo-like records every 1/128 day (exact in binary, so midpoints are exact ties);
    // af0 holds the record's index. Late in the day the nearest is not among the first 100.
    const double first = 59025.0;
    EphemerisTable table;
    for (int i = 0; i < 150; ++i) {
        KeplerEphemeris k{.satNo = 311, .toeMjd = first + i / 128.0, .tocMjd = first + i / 128.0, .af0_s = double(i)};
        table.kepler[311][k.tocMjd].push_back(k);
    }
    // A second record with the epoch of record 140 comes after it and must not be used.
    KeplerEphemeris duplicate = table.kepler[311][first + 140 / 128.0].front();
    duplicate.af0_s = 1000.0;
    table.kepler[311][duplicate.tocMjd].push_back(duplicate);
    // Every 1/1024 day (ties included) agrees with the plain walk over all records.
    for (int q = -20; q < 150 * 8 + 20; ++q) {
        const double mjd = first + q / 1024.0;
        double bestHours = 999999.0, expected = -1.0;
        for (const auto& [epoch, records] : table.kepler[311]) {
            const double hours = std::abs(mjd - epoch) * 24.0;
            if (hours < bestHours) bestHours = hours, expected = records.front().af0_s;
        }
        const SelectedEphemeris s = SelectEphemeris(table, 311, mjd);
        ASSERT_TRUE(s.kepler != nullptr && s.kepler->af0_s == expected) << q;
    }
    // One record is used however far away; no record or no system: no position.
    table.kepler[5][40000.0].push_back(KeplerEphemeris{});
    EXPECT_NE(SelectEphemeris(table, 5, 60000.0).kepler, nullptr);
    SatState state;
    EXPECT_FALSE(SatellitePosition(table, 850, first, state));
    EXPECT_FALSE(SatellitePosition(table, 206, first, state));
    // A record without a semi-major axis has no orbit: no satellite at the Earth's centre.
    EXPECT_FALSE(SatellitePosition(table, 311, first, state));
}

TEST(KeplerOrbit, BeiDouGeostationaryFrame) {
    EXPECT_TRUE(IsBeiDouGeo(401) && IsBeiDouGeo(459) && IsBeiDouGeo(463) && !IsBeiDouGeo(458) && !IsBeiDouGeo(464));
    // C05 sits over the equator at 58.75 E; its elements give that place only through
    // the GEO frame. The same record numbered 406 lands thousands of km away.
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    EphemerisTable table;
    RunLog log;
    const std::string nav = sharedDataDir() + "set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_MN.rnx.gz";
    ASSERT_EQ(ReadBroadcastOrbits(nav, table, log), NavReadResult::kRead) << log.messages;
    ASSERT_EQ(table.kepler.count(405), 1u);
    table.kepler[406] = table.kepler[405];
    for (auto& [epoch, records] : table.kepler[406]) records.front().satNo = 406;
    for (double hour = 0.5; hour < 24.0; hour += 2.0) {
        const double mjd = MjdFromCivil(2020, 6, 25, 0, 0, 0.0) + hour / 24.0;
        SatState geo, meo;
        ASSERT_TRUE(SatellitePosition(table, 405, mjd, geo) && SatellitePosition(table, 406, mjd, meo));
        const double radius = std::hypot(geo.x_m, geo.y_m, geo.z_m);
        EXPECT_NEAR(radius, 42164e3, 100e3) << hour;
        EXPECT_LT(std::abs(geo.z_m / radius), std::sin(2.0 * M_PI / 180.0)) << hour;
        EXPECT_NEAR(std::atan2(geo.y_m, geo.x_m) * 180.0 / M_PI, 58.75, 0.5) << hour;
        EXPECT_GT(std::hypot(geo.x_m - meo.x_m, geo.y_m - meo.y_m, geo.z_m - meo.z_m), 1000e3) << hour;
    }
}

TEST(GlonassOrbit, SixtySecondStepsWithTheLastShortenedEitherWay) {
    GlonassEphemeris g;
    g.satNo = 205;
    g.epochMjd = 59025.5;
    g.x_m = 25510e3;                          // a circular orbit in the equator's plane
    g.vy_mps = std::sqrt(3.9860044e14 / g.x_m);
    SatState state;
    std::vector<double> steps;
    GlonassPosition(g, g.epochMjd + 150.0 / kSecondsPerDay, state, &steps);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_NEAR(steps[0], 60.0, 1e-6);
    EXPECT_NEAR(steps[2], 30.0, 1e-6);
    steps.clear();
    GlonassPosition(g, g.epochMjd - 90.0 / kSecondsPerDay, state, &steps);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_NEAR(steps[0], -60.0, 1e-6);
    EXPECT_NEAR(steps[1], -30.0, 1e-6);
    EXPECT_NEAR(std::hypot(state.x_m, state.y_m, state.z_m), 25510e3, 10e3);
}

TEST(KeplerOrbit, VelocityIsTheRateOfThePosition) {
    // The velocity comes from a 1 ms difference of two MJD instants; a step that is not
    // the instants' real separation gives errors of decimetres per second.
    EphemerisTable table;
    KeplerEphemeris k{.satNo = 7, .toeMjd = 59025.3, .tocMjd = 59025.3, .semiMajorAxis_m = 26560e3,
                      .eccentricity = 0.01, .i0_rad = 0.96, .omega0_rad = 1.0, .argPerigee_rad = 0.5,
                      .meanAnomaly_rad = 0.2};
    table.kepler[7][k.toeMjd].push_back(k);
    const double mjd = 59025.4123;
    SatState at, before, after;
    ASSERT_TRUE(SatellitePosition(table, 7, mjd, at));
    ASSERT_TRUE(SatellitePosition(table, 7, mjd - 0.5 / kSecondsPerDay, before));
    ASSERT_TRUE(SatellitePosition(table, 7, mjd + 0.5 / kSecondsPerDay, after));
    EXPECT_NEAR(at.vx_mps, after.x_m - before.x_m, 0.01);
    EXPECT_NEAR(at.vy_mps, after.y_m - before.y_m, 0.01);
    EXPECT_NEAR(at.vz_mps, after.z_m - before.z_m, 0.01);
}

TEST(KeplerOrbit, ARecordWithoutABoundOrbitPlacesNoSatellite) {
    // A corrupt record (an eccentricity of 1 or more, an element not a number) gives no
    // position, not a satellite at "nan" for the geometry and the products.
    const KeplerEphemeris good{.satNo = 7, .toeMjd = 59025.3, .tocMjd = 59025.3, .semiMajorAxis_m = 26560e3,
                               .eccentricity = 0.01, .i0_rad = 0.96, .omega0_rad = 1.0, .argPerigee_rad = 0.5,
                               .meanAnomaly_rad = 0.2};
    KeplerEphemeris unbound = good, noInclination = good;
    unbound.eccentricity = 1.5;
    noInclination.i0_rad = std::nan("");
    SatState state;
    EXPECT_TRUE(KeplerPosition(good, 59025.4, state));
    for (const KeplerEphemeris& k : {unbound, noInclination}) {
        EphemerisTable table;
        table.kepler[7][k.toeMjd].push_back(k);
        EXPECT_FALSE(KeplerPosition(k, 59025.4, state));
        EXPECT_FALSE(SatellitePosition(table, 7, 59025.4, state));
        EXPECT_TRUE(state.x_m == 0.0 && state.clockOffset_s == 0.0);
    }
}

TEST(OrbitSpan, RecordsBoundHowFarOrbitsAreCarriedAndSatposRefusesTimesFarOutside) {
    const std::string nav = std::string(VELARIX_TEST_DATA) + "/nav_brdc_r304_excerpt.rnx";
    EphemerisTable table;
    RunLog log;
    ASSERT_EQ(ReadBroadcastOrbits(nav, table, log), NavReadResult::kRead) << log.messages;
    // First and last reference epochs of each family's records; none for a satellite without.
    struct Span {
        int satNo;
        double first, last;
    };
    const double day = MjdFromCivil(2024, 1, 10, 0, 0, 0.0);
    const double second = 1.0 / kSecondsPerDay;
    for (const Span& s : {Span{1, day, day + 2.0 / 24.0}, Span{201, day - 14.7 * 60 * second, day + 15.3 * 60 * second},
                          Span{121, day - 48 * second, day + 112 * second}}) {
        double first = 0.0, last = 0.0;
        ASSERT_TRUE(EphemerisSpan(table, s.satNo, first, last)) << s.satNo;
        EXPECT_NEAR(first, s.first, 1e-3 * second) << s.satNo;
        EXPECT_NEAR(last, s.last, 1e-3 * second) << s.satNo;
    }
    double first = 0.0, last = 0.0;
    EXPECT_FALSE(EphemerisSpan(table, 2, first, last));

    // GLONASS states are integrated up to a day from their record, not over decades.
    SatState state;
    EXPECT_TRUE(SatellitePosition(table, 201, day + 0.9, state));
    EXPECT_GT(std::hypot(state.x_m, state.y_m, state.z_m), 20e6);
    for (double mjd : {day + 1.5, day - 1.5, MjdFromCivil(1980, 1, 6, 0, 0, 0.0)}) {
        EXPECT_FALSE(SatellitePosition(table, 201, mjd, state)) << mjd;
        EXPECT_EQ(state.x_m, 0.0);
    }

    // satpos answers within 4 h of the satellite's records and refuses the rest (status 1).
    const ToolRun within = runTools("satpos " + nav + " G01 '2024-01-10 05:59:00' '2024-01-09 20:01:00'");
    EXPECT_EQ(within.exitCode, 0) << within.output;
    const ToolRun outside = runTools("satpos " + nav + " G01 '1980-01-06 00:00:00' '2024-01-10 06:01:00' " +
                                     "'2024-01-10 01:00:00' 2>&1 >/dev/null", "");
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_EQ(outside.output,
              "satpos: 1980-01-06 00:00:00 is more than 4 h outside the records of G01 in " + nav +
                  " (2024-01-10 00:00:00.000 to 2024-01-10 02:00:00.000)\n"
                  "satpos: 2024-01-10 06:01:00 is more than 4 h outside the records of G01 in " + nav +
                  " (2024-01-10 00:00:00.000 to 2024-01-10 02:00:00.000)\n");
    EXPECT_EQ(runTools("satpos " + nav + " R01 '2023-01-10 00:00:00'").exitCode, 1);
}

TEST(EphemerisValidity, OnlyCurrentRecordsPlaceASatelliteForTheAnalysis) {
    // One record per satellite at noon; Keplerian records are current for 4 h either
    // way, GLONASS and SBAS states for 30 min.
    const double noon = 59025.5;
    EphemerisTable table;
    for (int satNo : {5, 311, 405}) {
        KeplerEphemeris k{.satNo = satNo, .toeMjd = noon, .tocMjd = noon, .semiMajorAxis_m = 26560e3};
        table.kepler[satNo][noon].push_back(k);
    }
    table.glonass[205][noon].push_back(GlonassEphemeris{.satNo = 205, .epochMjd = noon, .x_m = 25510e3});
    table.sbas[120][noon].push_back(SbasEphemeris{.satNo = 120, .epochMjd = noon, .x_m = 42164e3});
    const struct {
        int satNo;
        double hours;  // from the record
        bool current;
    } cases[] = {
        {5, 3.9, true},     {5, -3.9, true},    {5, 4.1, false},    {5, -4.1, false},   {311, 4.1, false},
        {405, 3.9, true},   {205, 0.45, true},  {205, -0.45, true}, {205, 0.55, false}, {120, 0.55, false},
        {120, -0.45, true},
    };
    for (const auto& c : cases) {
        const double mjd = noon + c.hours / 24.0;
        EXPECT_EQ(HasCurrentEphemeris(table, c.satNo, mjd), c.current) << c.satNo << " " << c.hours;
        const SelectedEphemeris nearest = SelectEphemeris(table, c.satNo, mjd);
        const SelectedEphemeris current = SelectEphemeris(table, c.satNo, mjd, EphemerisUse::kCurrentRecord);
        EXPECT_TRUE(nearest.kepler != nullptr || nearest.glonass != nullptr || nearest.sbas != nullptr) << c.satNo;
        EXPECT_EQ(current.kepler != nullptr || current.glonass != nullptr || current.sbas != nullptr, c.current)
            << c.satNo << " " << c.hours;
        SatState state;
        EXPECT_EQ(SatellitePosition(table, c.satNo, mjd, state, EphemerisUse::kCurrentRecord), c.current)
            << c.satNo << " " << c.hours;
    }
    EXPECT_FALSE(HasCurrentEphemeris(table, 6, noon));  // no record at all
}

}  // namespace velarix
