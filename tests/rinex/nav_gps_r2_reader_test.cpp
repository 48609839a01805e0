#include "rinex/nav_gps_r2_reader.h"

#include <gtest/gtest.h>

#include "gnss/time.h"
#include "nav_test_text.h"
#include "platform/run_log.h"
#include "test_support.h"

namespace {

struct GpsRead {
    int result = 0;
    GpsBroadcastTable table;
    NavHeader header;
    RunLog log;
};

GpsRead readGpsText(const std::string& text) {
    TempDir dir;
    GpsRead read;
    read.result = readGpsNavigationR2(dir.write("brdc0100.24n", text), read.table, read.header, read.log);
    return read;
}

const char* const kDate0 = "24  1 10  0  0  0.0";
const char* const kDate2 = "24  1 10  2  0  0.0";

}  // namespace

TEST(GpsNavR2, KeepsTheFirstRecordOfEachPrn) {
    const GpsRead read = readGpsText(r2Header() + r2Record(3, kDate0, {1e-4, 0.0, 0.0}, gpsOrbit()) +
                                     r2Record(3, kDate2, {2e-4, 0.0, 0.0}, gpsOrbit(266400.0)) +
                                     r2Record(32, kDate2, {3e-4, 0.0, 0.0}, gpsOrbit(266400.0)));
    ASSERT_EQ(read.result, 0) << read.log.messages;
    EXPECT_EQ(read.log.messages, "");
    ASSERT_EQ(read.table.byPrn.size(), 2u);
    const KeplerEphemeris& g3 = read.table.byPrn.at(3);
    EXPECT_DOUBLE_EQ(g3.af0_s, 1e-4);
    EXPECT_DOUBLE_EQ(g3.tocMjd, MjdFromCivil(2024, 1, 10, 0, 0, 0.0));
    EXPECT_NEAR(g3.toeMjd, MjdFromCivil(2024, 1, 10, 0, 0, 0.0), 1e-9);
    EXPECT_DOUBLE_EQ(g3.semiMajorAxis_m, 5153.6 * 5153.6);
    EXPECT_EQ(g3.iodc, 46);
    EXPECT_EQ(read.table.prnStored[3], 1);
    EXPECT_EQ(read.table.prnStored[32], 1);
    EXPECT_EQ(read.table.prnStored[4], 0);
    EXPECT_EQ(read.table.readStatus, 0);
}

TEST(GpsNavR2, APrnAbove32EndsTheRead) {
    const GpsRead read = readGpsText(r2Header() + r2Record(5, kDate0, {}, gpsOrbit()) +
                                     r2Record(33, kDate0, {}, gpsOrbit()) + r2Record(6, kDate0, {}, gpsOrbit()));
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.log.messages, "\r\n Error PRN in Nav. file: prn= 33");
    EXPECT_EQ(read.table.byPrn.size(), 1u);
    EXPECT_EQ(read.table.prnStored[6], 0);
}

TEST(GpsNavR2, IncompleteRecordsAndUnreadableLines) {
    // Lines: header 1-2, PRN 5 at 3-10, PRN 6 at 11-17 (one orbit line short), PRN 7 at
    // 18-25 with a bad value in line 21, PRN 0 at 26-33, PRN 8 at 34-41, PRN 9 cut after
    // two orbit lines (42-44).
    std::string badValue = r2Record(7, kDate0, {}, gpsOrbit());
    badValue.replace(badValue.find("2.592000000000E+05"), 18, "2.59200000000?E+05");
    const GpsRead read =
        readGpsText(r2Header() + r2Record(5, kDate0, {}, gpsOrbit()) + r2Record(6, kDate0, {}, gpsOrbit(), 6) +
                    badValue + r2Record(0, kDate0, {}, gpsOrbit()) + r2Record(8, kDate0, {}, gpsOrbit()) +
                    r2Record(9, kDate0, {}, gpsOrbit(), 2));
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.log.messages,
              "\r\n error in GetBroadCastOrbit at line18"
              "\r\n error in GetBroadCastOrbit at line21"
              "\r\nNavFile-exception: Badly formatted line @line# 26"
              "\r\n Nav-file last record incomplete @line= 44");
    EXPECT_EQ(read.table.readStatus, 3);
    ASSERT_EQ(read.table.byPrn.size(), 2u);
    EXPECT_EQ(read.table.byPrn.count(5), 1u);
    EXPECT_EQ(read.table.byPrn.count(8), 1u);
}

TEST(GpsNavR2, OrbitLinesAndFilesItDoesNotRead) {
    double values[4] = {};
    EXPECT_EQ(
        GetBroadCastOrbit("    0.720000000000D+02-0.195625000000D+02 0.421803284086D-08-0.148380470489D+01", values),
        0);
    EXPECT_DOUBLE_EQ(values[0], 72.0);
    EXPECT_DOUBLE_EQ(values[3], -1.48380470489);
    EXPECT_EQ(GetBroadCastOrbit("    0.72000000000xD+02", values), -1);
    EXPECT_EQ(GetBroadCastOrbit(" 1 20  1  1  0  0  0.0-0.247901305556D-03", values), -1);

    GpsBroadcastTable table;
    NavHeader header;
    RunLog log;
    EXPECT_EQ(readGpsNavigationR2("/nonexistent/brdc0010.20n", table, header, log), -1);
    EXPECT_EQ(log.messages, "\r\nCan't open Nav. file: /nonexistent/brdc0010.20n");
    EXPECT_EQ(readGpsText(r2Header("GLONASS NAV DATA")).result, -2);
    EXPECT_EQ(readGpsText(r3Header("G: GPS")).result, -2);
}

TEST(GpsNavR2, RealDailyFile) {
    const std::string dir = sharedDataDir();
    if (dir.empty()) GTEST_SKIP() << "no shared data folder";
    GpsBroadcastTable table;
    NavHeader header;
    RunLog log;
    ASSERT_EQ(readGpsNavigationR2(dir + "set1_bjfs_2020_001/brdc0010.20n", table, header, log), 0);
    EXPECT_EQ(log.messages, "");
    EXPECT_EQ(table.byPrn.size(), 32u);
    for (int prn = 1; prn <= 32; ++prn) EXPECT_EQ(table.prnStored[prn], 1) << prn;
    // The file's first record of PRN 1.
    const KeplerEphemeris& g1 = table.byPrn.at(1);
    EXPECT_DOUBLE_EQ(g1.tocMjd, MjdFromCivil(2020, 1, 1, 0, 0, 0.0));
    EXPECT_DOUBLE_EQ(g1.af0_s, -0.247901305556e-03);
    EXPECT_DOUBLE_EQ(g1.semiMajorAxis_m, 0.515363869095e+04 * 0.515363869095e+04);
    EXPECT_EQ(g1.issueOfData, 72);
    EXPECT_DOUBLE_EQ(header.deltaUtc.a0_s, -0.279396772385e-08);
    EXPECT_EQ(header.leapSeconds, 18);
}
