#include "gnss/checks/sp3_reader.h"

#include <gtest/gtest.h>

#include "geodesy/time.h"
#include "platform/run_log.h"
#include "test_support.h"

namespace velarix {

namespace {

// A small SP3-d file in UTC: one GPS, one GLONASS and one LEO satellite over two epochs;
// R05's position is absent at the first, G01's clock at the second.
std::string sp3dText(const std::string& timeSystem) {
    std::string text = readWholeFile(std::string(VELARIX_TEST_DATA) + "/gnss/sp3d_utc_three_satellites.sp3");
    return text.replace(text.find(" UTC "), 5, " " + timeSystem + " ");
}

}  // namespace

TEST(Sp3Reader, VersionsCAndDTimeSystemsAbsentValuesAndBadOrTruncatedFiles) {
    TempDir dir;
    Sp3Orbits orbits;
    RunLog log;
    ASSERT_EQ(ReadSp3File(dir.write("utc.sp3", sp3dText("UTC")), orbits, log), 0) << log.messages;
    EXPECT_TRUE(orbits.version == 'd' && orbits.epochsRead == 2);
    ASSERT_EQ(orbits.bySatellite.size(), 2u);  // the LEO has no satellite number here
    // UTC epochs are moved to GPS time by the 18 leap seconds of 2020.
    const auto& g01 = orbits.bySatellite.at(1);
    ASSERT_EQ(g01.size(), 2u);
    EXPECT_DOUBLE_EQ(g01.begin()->first, MjdFromCivil(2020, 6, 25, 0, 0, 18.0));
    EXPECT_DOUBLE_EQ(g01.begin()->second.x_m, -11562163.582);
    EXPECT_DOUBLE_EQ(g01.begin()->second.clock_s, -884.707516e-6);
    EXPECT_TRUE(g01.begin()->second.hasClock && !g01.rbegin()->second.hasClock);
    EXPECT_EQ(orbits.bySatellite.at(205).size(), 1u);  // the zero position marks R05 absent at first
    // GLONASS time is UTC + 3 h.
    ASSERT_EQ(ReadSp3File(dir.write("glo.sp3", sp3dText("GLO")), orbits, log), 0);
    EXPECT_DOUBLE_EQ(orbits.bySatellite.at(1).begin()->first, MjdFromCivil(2020, 6, 24, 21, 0, 18.0));

    log = RunLog();
    EXPECT_EQ(ReadSp3File(dir.write("odd.sp3", sp3dText("XYZ")), orbits, log), -3);
    EXPECT_TRUE(contains(log.messages, "time system \"XYZ\"")) << log.messages;
    EXPECT_TRUE(contains(log.messages, "@line# 4: " + dir.path() + "odd.sp3")) << log.messages;
    // A cut position line is reported with its line number and skipped.
    std::string cut = sp3dText("GPS");
    cut.replace(cut.find("PR05  12000.000000"), 30, "PR05  12000.0x");
    log = RunLog();
    ASSERT_EQ(ReadSp3File(dir.write("cut.sp3", cut), orbits, log), 0);
    EXPECT_EQ(orbits.badLines, 1);
    EXPECT_TRUE(contains(log.messages, "@line# 13")) << log.messages;
    EXPECT_EQ(orbits.bySatellite.count(205), 0u);

    // Real files, and a truncated one.
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    log = RunLog();
    ASSERT_EQ(ReadSp3File(shared + "set1_bjfs_2020_001/COD20863.EPH.Z", orbits, log), 0) << log.messages;
    EXPECT_TRUE(orbits.version == 'c' && orbits.epochsRead == 96);
    const Sp3Sample& g05 = orbits.bySatellite.at(5).at(MjdFromCivil(2020, 1, 1, 0, 0, 0.0));
    EXPECT_TRUE(g05.y_m == 5721537.976 && g05.clock_s == -5.463942e-6) << g05.y_m << " " << g05.clock_s;
    ASSERT_EQ(ReadSp3File(shared + "set7_esbc_2020_177/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz", orbits, log), 0);
    EXPECT_EQ(orbits.bySatellite.size(), 75u);
    EXPECT_EQ(orbits.bySatellite.count(336), 1u);  // E36

    // Two epochs announced, one complete, the second an epoch line alone without EOF.
    log = RunLog();
    const std::string truncated = shared + "bad_files/georinex/truncated.sp3";
    ASSERT_EQ(ReadSp3File(truncated, orbits, log), 1);
    EXPECT_TRUE(contains(log.messages, "SP3 file ends early: 2 of 2 epochs, 1 without satellites, no EOF line"));
    EXPECT_TRUE(contains(log.messages, "@line# 38: " + truncated)) << log.messages;
    EXPECT_EQ(orbits.bySatellite.size(), 32u);
    EXPECT_FALSE(orbits.bySatellite.at(4).begin()->second.hasClock);  // 999999.999999
}

}  // namespace velarix
