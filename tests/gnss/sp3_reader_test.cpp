#include "gnss/sp3_reader.h"

#include <gtest/gtest.h>

#include "gnss/time.h"
#include "platform/run_log.h"
#include "test_support.h"

namespace {

// A small SP3-d file in UTC: one GPS, one GLONASS and one LEO satellite over two epochs.
std::string sp3dText(const std::string& timeSystem) {
    return "#dP2020  6 25  0  0  0.00000000       2 ORBIT IGb14 FIT  TST\n"
           "## 2111 345600.00000000   900.00000000 59025 0.0000000000000\n"
           "+    3   G01R05L51  0  0  0  0  0  0  0  0  0  0  0  0  0  0\n"
           "%c M  cc " + timeSystem + " ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc\n"
           "%c cc cc ccc ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc\n"
           "/* a comment line of version d may be longer than eighty characters ..................\n"
           "*  2020  6 25  0  0  0.00000000\n"
           "PG01 -11562.163582  14053.114306  23345.128269   -884.707516\n"
           "PR05      0.000000      0.000000      0.000000 999999.999999\n"
           "PL51   1000.000000   2000.000000   6000.000000 999999.999999\n"
           "*  2020  6 25  0 15  0.00000000\n"
           "PG01 -11000.000000  14000.000000  23000.000000 999999.999999\n"
           "PR05  12000.000000 -13000.000000  19000.000000     12.500000\n"
           "EOF\n";
}

}  // namespace

TEST(Sp3Reader, VersionDTimeSystemsAndAbsentValues) {
    TempDir dir;
    Sp3Orbits orbits;
    RunLog log;
    ASSERT_EQ(ReadSp3File(dir.write("utc.sp3", sp3dText("UTC")), orbits, log), 0) << log.messages;
    EXPECT_EQ(orbits.version, 'd');
    EXPECT_EQ(orbits.timeSystem, "UTC");
    EXPECT_EQ(orbits.coordinateSystem, "IGb14");
    EXPECT_EQ(orbits.interval_s, 900.0);
    EXPECT_EQ(orbits.epochsRead, 2);
    ASSERT_EQ(orbits.bySatellite.size(), 2u);  // the LEO has no satellite number here
    // UTC epochs are moved to GPS time by the 18 leap seconds of 2020.
    const double first = MjdFromCivil(2020, 6, 25, 0, 0, 18.0);
    const auto& g01 = orbits.bySatellite.at(1);
    ASSERT_EQ(g01.size(), 2u);
    EXPECT_DOUBLE_EQ(g01.begin()->first, first);
    EXPECT_DOUBLE_EQ(g01.begin()->second.x_m, -11562163.582);
    EXPECT_DOUBLE_EQ(g01.begin()->second.clock_s, -884.707516e-6);
    EXPECT_TRUE(g01.begin()->second.hasClock);
    EXPECT_FALSE(g01.rbegin()->second.hasClock);
    // The zero position of R05 marks it absent at the first epoch.
    const auto& r05 = orbits.bySatellite.at(205);
    ASSERT_EQ(r05.size(), 1u);
    EXPECT_DOUBLE_EQ(r05.begin()->first, MjdFromCivil(2020, 6, 25, 0, 15, 18.0));

    ASSERT_EQ(ReadSp3File(dir.write("glo.sp3", sp3dText("GLO")), orbits, log), 0);
    EXPECT_DOUBLE_EQ(orbits.bySatellite.at(1).begin()->first, MjdFromCivil(2020, 6, 24, 21, 0, 18.0));
    ASSERT_EQ(ReadSp3File(dir.write("bdt.sp3", sp3dText("BDT")), orbits, log), 0);
    EXPECT_DOUBLE_EQ(orbits.bySatellite.at(1).begin()->first, MjdFromCivil(2020, 6, 25, 0, 0, 14.0));

    log = RunLog();
    EXPECT_EQ(ReadSp3File(dir.write("odd.sp3", sp3dText("XYZ")), orbits, log), -3);
    EXPECT_TRUE(contains(log.messages, "time system \"XYZ\"")) << log.messages;
    EXPECT_TRUE(contains(log.messages, "@line# 4: " + dir.path() + "odd.sp3")) << log.messages;
    EXPECT_EQ(ReadSp3File(dir.write("not.sp3", "2020 01 01 not an orbit file\n"), orbits, log), -2);
    EXPECT_EQ(ReadSp3File(dir.write("empty.sp3", ""), orbits, log), -2);
    EXPECT_EQ(ReadSp3File(dir.path() + "missing.sp3", orbits, log), -1);

    // A cut position line is reported with its line number and skipped.
    std::string cut = sp3dText("GPS");
    cut.replace(cut.find("PR05  12000.000000"), 30, "PR05  12000.0x");
    log = RunLog();
    ASSERT_EQ(ReadSp3File(dir.write("cut.sp3", cut), orbits, log), 0);
    EXPECT_EQ(orbits.badLines, 1);
    EXPECT_TRUE(contains(log.messages, "@line# 13")) << log.messages;
    EXPECT_EQ(orbits.bySatellite.count(205), 0u);
}

TEST(Sp3Reader, RealFilesAndATruncatedOne) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    Sp3Orbits orbits;
    RunLog log;
    ASSERT_EQ(ReadSp3File(shared + "set1_bjfs_2020_001/COD20863.EPH.Z", orbits, log), 0) << log.messages;
    EXPECT_EQ(orbits.version, 'c');
    EXPECT_EQ(orbits.timeSystem, "GPS");
    EXPECT_EQ(orbits.agency, "AIUB");
    EXPECT_EQ(orbits.epochsRead, 96);
    EXPECT_EQ(orbits.epochsAnnounced, 96);
    ASSERT_EQ(orbits.bySatellite.count(5), 1u);
    const Sp3Sample& g05 = orbits.bySatellite.at(5).at(MjdFromCivil(2020, 1, 1, 0, 0, 0.0));
    EXPECT_DOUBLE_EQ(g05.y_m, 5721537.976);
    EXPECT_DOUBLE_EQ(g05.clock_s, -5.463942e-6);
    EXPECT_EQ(orbits.bySatellite.at(5).size(), 96u);
    EXPECT_EQ(orbits.bySatellite.count(226), 1u);  // R26

    ASSERT_EQ(ReadSp3File(shared + "set7_esbc_2020_177/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz", orbits, log), 0);
    EXPECT_EQ(orbits.bySatellite.size(), 75u);
    EXPECT_EQ(orbits.bySatellite.count(336), 1u);  // E36

    // Two epochs announced, one complete, the second an epoch line alone without EOF.
    log = RunLog();
    const std::string truncated = shared + "bad_files/georinex/truncated.sp3";
    ASSERT_EQ(ReadSp3File(truncated, orbits, log), 1);
    EXPECT_TRUE(contains(log.messages, "Warning! SP3 file ends early: 2 of 2 epochs, 1 without satellites, no EOF line"))
        << log.messages;
    EXPECT_TRUE(contains(log.messages, "@line# 38: " + truncated)) << log.messages;
    EXPECT_EQ(orbits.timeSystem, "GPS");
    EXPECT_EQ(orbits.bySatellite.size(), 32u);
    EXPECT_FALSE(orbits.bySatellite.at(4).begin()->second.hasClock);  // 999999.999999
    EXPECT_TRUE(orbits.bySatellite.at(5).begin()->second.hasClock);
}
