// Broadcast orbits against precise ones on three real days, through the library and
// through velarix-tools as a user runs it.
#include "gnss/orbit_check.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "platform/run_log.h"
#include "rinex/satellite_id.h"
#include "test_support.h"

namespace {

OrbitCheckResult checkDay(const std::string& nav, const std::string& sp3) {
    EphemerisTable broadcast;
    Sp3Orbits precise;
    RunLog log;
    EXPECT_EQ(ReadBroadcastOrbits(nav, broadcast, log), 0) << log.messages;
    EXPECT_EQ(ReadSp3File(sp3, precise, log), 0) << log.messages;
    return CheckBroadcastOrbits(broadcast, precise);
}

// The acceptance bounds of one system: the median of the healthy satellites' 3-D RMS
// and, when given, a bound on every healthy satellite.
void expectSystem(const OrbitCheckResult& result, int system, int minSatellites, double maxMedian_m,
                  double maxEach_m) {
    ASSERT_EQ(result.bySystem.count(system), 1u) << systemName(system);
    const SystemOrbitSummary& summary = result.bySystem.at(system);
    EXPECT_GE(summary.satellites, minSatellites) << systemName(system);
    EXPECT_LE(summary.medianRms3d_m, maxMedian_m) << systemName(system);
    EXPECT_GT(summary.medianRms3d_m, 0.1) << systemName(system);  // a real difference, not a self-comparison
    for (const SatelliteOrbitCheck& s : result.satellites) {
        if (systemOf(s.satNo) != system || !s.healthy) continue;
        EXPECT_LE(s.rms3d_m, maxEach_m) << satelliteLabel(s.satNo);
        EXPECT_GT(s.clockEpochs, 0) << satelliteLabel(s.satNo);
    }
}

}  // namespace

TEST(OrbitCheck, BroadcastOrbitsAgreeWithPreciseOrbitsOnThreeDays) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    const OrbitCheckResult set1 =
        checkDay(shared + "set1_bjfs_2020_001/brdc0010.20n", shared + "set1_bjfs_2020_001/COD20863.EPH.Z");
    expectSystem(set1, kGps, 28, 3.0, 6.0);
    const OrbitCheckResult set3 =
        checkDay(shared + "set3_cat2_2016_001/cat20010.16n", shared + "set3_cat2_2016_001/COD18775.EPH.Z");
    expectSystem(set3, kGps, 28, 3.0, 6.0);

    const std::string day7 = shared + "set7_esbc_2020_177/";
    const OrbitCheckResult set7 = checkDay(day7 + "ESBC00DNK_R_20201770000_01D_MN.rnx.gz",
                                           day7 + "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz");
    expectSystem(set7, kGalileo, 18, 3.0, 6.0);
    expectSystem(set7, kGlonass, 18, 10.0, 20.0);
    expectSystem(set7, kGps, 28, 3.0, 6.0);
    // E14 and E18 (eccentric orbits) broadcast "unhealthy" and are marked so.
    int unhealthyGalileo = 0;
    for (const SatelliteOrbitCheck& s : set7.satellites) {
        if (s.healthy) continue;
        EXPECT_TRUE(s.satNo == 314 || s.satNo == 318) << satelliteLabel(s.satNo);
        ++unhealthyGalileo;
    }
    EXPECT_EQ(unhealthyGalileo, 2);
    // Broadcast clocks follow the precise ones to a few nanoseconds once the datum is gone.
    EXPECT_LT(set1.bySystem.at(kGps).medianClockRms_ns, 3.0);
    EXPECT_LT(set7.bySystem.at(kGalileo).medianClockRms_ns, 1.0);
}

TEST(OrbitCheckTools, SatposAndOrbitcheckAsRun) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    const std::string nav = shared + "set1_bjfs_2020_001/brdc0010.20n";
    // G05 at the first SP3 epoch: (-19154.192231, 5721.537976, 17444.937167) km precise.
    ToolRun run = runTools("satpos " + nav + " G05 \"2020-01-01 00:00:00\" 2020-01-01 12:00:00");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "time_gps\tsat\tx_m\ty_m\tz_m\tclock_s\n")) << run.output;
    double x = 0, y = 0, z = 0, clock = 0;
    ASSERT_EQ(std::sscanf(run.output.c_str() + run.output.find("2020-01-01 00:00:00\tG05\t") + 24, "%lf %lf %lf %lf",
                          &x, &y, &z, &clock),
              4)
        << run.output;
    EXPECT_NEAR(x, -19154192.231, 3.0);
    EXPECT_NEAR(y, 5721537.976, 3.0);
    EXPECT_NEAR(z, 17444937.167, 3.0);
    EXPECT_NEAR(clock, -5.463942e-6, 3e-8);
    EXPECT_TRUE(contains(run.output, "2020-01-01 12:00:00\tG05\t")) << run.output;

    run = runTools("satpos " + nav + " R12 \"2020-01-01 00:00:00\"");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.output, "satpos: no ephemeris for R12 in " + nav)) << run.output;
    EXPECT_EQ(runTools("satpos " + nav + " G05 \"2020-01-01 25:00:00\"").exitCode, 2);

    run = runTools("orbitcheck " + nav + " " + shared + "bad_files/georinex/truncated.sp3");
    EXPECT_EQ(run.exitCode, 1);  // the 2017 orbits share no time with the 2020 broadcast
    EXPECT_TRUE(contains(run.output, "Warning! SP3 file ends early")) << run.output;
    run = runTools("orbitcheck " + nav + " " + shared + "set1_bjfs_2020_001/COD20863.EPH.Z");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "\nG04\t96\t0\t")) << run.output;
    EXPECT_TRUE(contains(run.output, "\tunhealthy\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "median\tGPS\t30 satellites\trms3d_m ")) << run.output;
}
