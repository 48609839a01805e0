// Broadcast orbits against precise ones on three real days, through the library and
// through velarix-tools as a user runs it.
#include "gnss/checks/orbit_check.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/run_log.h"
#include "rinex/satellite_id.h"
#include "test_support.h"

namespace velarix {

namespace {

OrbitCheckResult checkDay(const std::string& day, const std::string& nav, const std::string& sp3) {
    EphemerisTable broadcast;
    Sp3Orbits precise;
    RunLog log;
    EXPECT_EQ(ReadBroadcastOrbits(sharedDataDir() + day + nav, broadcast, log), NavReadResult::kRead) << log.messages;
    EXPECT_EQ(ReadSp3File(sharedDataDir() + day + sp3, precise, log), 0) << log.messages;
    return CheckBroadcastOrbits(broadcast, precise);
}

// The median of the healthy satellites' 3-D RMS and a bound on every healthy satellite.
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

TEST(OrbitCheck, BroadcastOrbitsAgreeWithPreciseOrbitsOnThreeDaysAlsoAsRun) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    const OrbitCheckResult set1 = checkDay("set1_bjfs_2020_001/", "brdc0010.20n", "COD20863.EPH.Z");
    expectSystem(set1, kGps, 28, 3.0, 6.0);
    expectSystem(checkDay("set3_cat2_2016_001/", "cat20010.16n", "COD18775.EPH.Z"), kGps, 28, 3.0, 6.0);
    const OrbitCheckResult set7 = checkDay("set7_esbc_2020_177/", "ESBC00DNK_R_20201770000_01D_MN.rnx.gz",
                                           "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz");
    expectSystem(set7, kGalileo, 18, 3.0, 6.0);
    expectSystem(set7, kGlonass, 18, 10.0, 20.0);
    expectSystem(set7, kGps, 28, 3.0, 6.0);
    // E14 and E18 (eccentric orbits) broadcast "unhealthy" and are marked so.
    std::vector<int> unhealthy;
    for (const SatelliteOrbitCheck& s : set7.satellites) {
        if (!s.healthy) unhealthy.push_back(s.satNo);
    }
    EXPECT_EQ(unhealthy, (std::vector<int>{314, 318}));
    // Broadcast clocks follow the precise ones to a few nanoseconds once the datum is gone.
    EXPECT_LT(set1.bySystem.at(kGps).medianClockRms_ns, 3.0);
    EXPECT_LT(set7.bySystem.at(kGalileo).medianClockRms_ns, 1.0);

    // The same through velarix-tools.
    const std::string nav = sharedDataDir() + "set1_bjfs_2020_001/brdc0010.20n ";
    // The 2017 orbits share no time with the 2020 broadcast: nothing to check.
    EXPECT_EQ(runTools("orbitcheck " + nav + sharedDataDir() + "bad_files/georinex/truncated.sp3").exitCode, 1);
    const ToolRun run = runTools("orbitcheck " + nav + sharedDataDir() + "set1_bjfs_2020_001/COD20863.EPH.Z");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "median\tGPS\t30 satellites\trms3d_m ")) << run.output;
}

}  // namespace velarix
