#include "control/classify.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <tuple>

#include "gnss/day_job.h"
#include "geodesy/time.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

const double kNow2026 = MjdFromCivil(2026, 3, 15, 12, 0, 0.0);

InputFileInfo at2026(const std::string& path) { return classify(path, kNow2026); }

// kind/nameForm, station, date, time, day of year, then the obs, nav, Compact RINEX,
// compressed, gzip and DCB flags.
std::string summary(const InputFileInfo& i) {
    return strfmt("%d/%d %s %04d-%02d-%02d %02d:%02d %03d o%d n%d d%d z%d g%d c%d", i.kind, i.nameForm,
                  i.stationCode.c_str(), i.year, i.month, i.day, i.hour, i.minute, i.dayOfYear, i.isRinexObs,
                  i.isNavigation, i.isHatanaka, i.isCompressedZ, i.isGzip, i.isDcb);
}

}  // namespace

TEST(Classify, NameFormsDatesAndTheDateWindow) {
    // Each expectation is the start of the summary: dates out of range are checked only up
    // to the year.
    const std::pair<const char*, const char*> cases[] = {
        {"/data/bjfs/bjfs0010.20o", "1/1 bjfs 2020-01-01 00:00 001 o1 n0 d0 z0 g0 c0"},
        {"abcd1230.81o", "18/0 abcd 1981"},  // a valid year, but before 1990 (more in the classify tool's test)
        {"abcd1230.80o", "18/0 abcd 2080"},  // more than ten years after "now"
        {"abcd3650.89o", "18/0 abcd 1989"}, {"abcd0010.90o", "1/1 abcd 1990-01-01"},
        {"abcd0010.36o", "1/1 abcd 2036-01-01"}, {"abcd0010.37o", "18/0 abcd 2037"},
        // Day 366 only in leap years, day 000 never.
        {"abcd3660.20o", "1/1 abcd 2020-12-31 00:00 366"}, {"abcd0600.20o", "1/1 abcd 2020-02-29 00:00 060"},
        {"abcd3660.19o", "18/0 abcd 2019"}, {"abcd0000.19o", "18/0 abcd 2019"},
        {"BJFS001A.20O", "2/2 BJFS 2020-01-01 00:00 001 o1"},
        {"bjfs001c45.20o", "3/3 bjfs 2020-01-01 02:45 001 o1"},
        {"bjfs001y.20o", "18/0"}, {"bjfs001c60.20o", "18/0"},  // no hour 24, no minute 60
        {"bjfs_032143.20o", "4/4 bjfs 2020-02-01 14:00 032 o1"},
        {"bjfs0011.20d", "1/1 bjfs 2020-01-01 00:00 001 o1 n0 d1 z0 g0"},
        {"brdc0010.20n", "1/1 brdc 2020-01-01 00:00 001 o0 n1 d0 z0 g0"},
        // gzip or .Z on short names: the plain name's fields plus the compression flags.
        {"bele0100.24d.gz", "1/1 bele 2024-01-10 00:00 010 o1 n0 d1 z1 g1"},
        {"bele0100.24o.Z", "1/1 bele 2024-01-10 00:00 010 o1 n0 d0 z1 g0"},
        {"bele0100.24n.GZ", "1/1 bele 2024-01-10 00:00 010 o0 n1 d0 z1 g1"},
        {"/d/ABCD00XYZ_R_20201770000_01D_MO.crx.gz", "5/5 ABCD 2020-06-25 00:00 177 o1 n0 d1 z1 g1"},
        {"NYA100NOR_S_20241241530_01H_01S_MO.rnx", "5/5 NYA1 2024-05-03 15:30 124 o1 n0 d0 z0 g0"},
        {"NYA100NOR_S_20241240000_01D_30S_MO.crx.Z", "5/5 NYA1 2024-05-03 00:00 124 o1 n0 d1 z1 g0"},
        {"BRDC00IGS_R_20240100000_01D_MN.rnx.gz", "9/9 BRDC 2024-01-10 00:00 010 o0 n1 d0 z1 g1"},
        {"NYA100NOR_S_20241242400_01D_30S_MO.rnx", "18/0"},  // hour 24
        {"NYA100NOR_S_20243670000_01D_30S_MO.rnx", "18/0"},  // day 367
        {"/rx/200101_123456.nvd", "13/13 N_A_ 2020-01-01 12:34 001 o0 n0 d0 z0"},
        {"991231_235959.SCN", "15/15 N_A_ 1999-12-31 23:59 365"},
        {"140101_000000.scn.Z", "15/15 N_A_ 2014-01-01 00:00 001 o0 n0 d0 z1 g0"},
        {"140230_000000.scn", "18/0"}, {"140101_000060.scn", "18/0"},  // 30 February, second 60
        {"/d/P1P22001_ALL.DCB.Z", "10/10 N_A_ 2020-01-15 00:00 015 o0 n0 d0 z1 g0 c1"},
        {"P1C11601.DCB", "10/10 N_A_ 2016-01-15 00:00 015 o0 n0 d0 z0 g0 c1"},
        {"p1p29912.dcb", "10/10 N_A_ 1999-12-15"}, {"P1P22013.DCB", "18/0"},  // month 13
    };
    for (const auto& [path, expected] : cases) EXPECT_TRUE(summary(at2026(path)).starts_with(expected)) << path;

    EXPECT_EQ(at2026("/d/BJFS0010.20O.GZ").extension, "20o.gz");
    EXPECT_EQ(at2026("abcd1230.80o").nameValid, 1);  // a form matched; only the date is wrong
    EXPECT_EQ(at2026("dir.v2/readme").extension, "");  // a dot in the directory is not an extension
    EXPECT_DOUBLE_EQ(at2026("200101_123456.nvd").seconds, 56.0);
    // The window follows "now"; 1 January 1990 is inside whatever the time of day.
    EXPECT_EQ(classify("abcd0010.37o", MjdFromCivil(2027, 6, 1, 0, 0, 0.0)).kind, kShortSessionName);
    EXPECT_EQ(classify("abcd0010.90o", kNow2026 + 0.99).kind, kShortSessionName);
}

TEST(Classify, NamesWithoutAFormCarryNoStationOrDate) {
    for (const char* path :
         {"", "/data/", "readme", "/d/bjfs0010.20x", "bjfs0010.20o.bak", "BJFS001-2020-01-01.Cmn", "a.b.c.d", ".20o",
          "bjfs001c4.20o", "bele0100.24o.bz2", "codg0010.20i.Z", "bele0100.24g.gz", "bele010.24o",
          "bele0100.24o.Z.gz", "NYA100NOR_S_20241240000_01D_30S_MM.rnx",
          "NYA100NOR_S_20241240000_01D_MN.crx", "NYA100NOR-S_20241240000_01D_30S_MO.rnx",
          "NYA100NOR_S_2024124000X_01D_30S_MO.rnx", "NYA100NOR_S_20241240000_01D_30S_MO.obs",
          "1401011_00000.scn", "14010a_000000.scn", "140101_000000.dat", "140101-000000.nvd",
          "P1P2200.DCB", "P2C22001.DCB", "P1P22001ALL.DCB", "P1P22001.txt"}) {
        const InputFileInfo info = at2026(path);
        EXPECT_TRUE(summary(info).starts_with("19/-1  -001-")) << path << ": " << summary(info);
        EXPECT_EQ(info.nameValid, 0) << path;
    }
}

TEST(Classify, CompressionCodesFlagsAndTheProcessClock) {
    // (Codes 0, 1 and 2 reach the RINEX pipeline in the run driver's tests.)
    EXPECT_EQ(rinexCompressionCode(at2026("NYA100NOR_S_20241240000_01D_30S_MO.crx.gz")), 3);

    InputKindFlags flags;
    flags.lisn = flags.scindaPrc = flags.inWorkA = flags.spare = 1;  // left from an earlier input
    setInputKindFlags(flags, at2026("bjfs0010.20d.Z"));
    EXPECT_EQ(std::tuple(flags.rinexObs, flags.hatanaka, flags.compressedZ), std::tuple(1, 1, 1));
    EXPECT_EQ(flags.lisn + flags.scindaPrc + flags.inWorkA + flags.spare + flags.novatel + flags.ism, 0);
    setInputKindFlags(flags, at2026("brdc0010.20n.Z"));  // navigation is not an input
    EXPECT_EQ(std::tuple(flags.rinexObs, flags.hatanaka, flags.compressedZ), std::tuple(0, 0, 1));
    setInputKindFlags(flags, at2026("200101_123456.nvd"));
    EXPECT_EQ(std::tuple(flags.novatel, flags.ism, flags.scinda), std::tuple(1, 1, 0));

    const double utcMjd = static_cast<double>(std::time(nullptr)) / 86400.0 + 40587.0;
    EXPECT_NEAR(processNowMjd(), utcMjd, 1.0);  // local time differs from UTC by less than a day
    EXPECT_EQ(summary(classify("bjfs0010.20o")), summary(classify("bjfs0010.20o", processNowMjd())));
}

TEST(VelarixTools, ClassifyPrintsEveryFieldAndGivesTheNamingEdgeCases) {
    const ToolRun run = runTools("classify /data/bjfs0010.20o.gz abcd1230.18o abcd1230.81o abcd1230.80o bjfs001x.20o "
                                 "ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz 1401011_00000.scn");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.starts_with(
        "path=/data/bjfs0010.20o.gz\nnameForm=1\nisRinexObs=1\nisNavigation=0\nspareFlag=0\nisHatanaka=0\n"
        "isCompressedZ=1\nisGzip=1\nisDcb=0\nkind=1\ndirectory=/data/\nextension=20o.gz\nfileName=bjfs0010.20o.gz\n"
        "nameLength=15\nstationCode=bjfs\nyear=2020\nmonth=1\nday=1\nhour=0\nminute=0\nseconds=0.000\n"
        "dayOfYear=1\nnameValid=1\n\n"))
        << run.output;
    size_t at = 0;  // each file's fields, in order
    for (const char* field : {"path=abcd1230.18o\n", "kind=1\n", "year=2018\n", "path=abcd1230.81o\n", "kind=18\n",
                              "year=1981\n", "path=abcd1230.80o\n", "kind=18\n", "year=2080\n", "path=bjfs001x.20o\n",
                              "kind=2\n", "hour=23\n", "path=ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz\n",
                              "isHatanaka=1\nisCompressedZ=1\n", "kind=5\n", "path=1401011_00000.scn\n", "kind=19\n"}) {
        at = run.output.find(field, at);
        ASSERT_NE(at, std::string::npos) << field << " in\n" << run.output;
    }
    EXPECT_EQ(runTools("classify", ">/dev/null 2>&1").exitCode, 2);
}

}  // namespace velarix
