#include "control/classify.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "gnss/day_job.h"
#include "gnss/time.h"

namespace {

const double kNow2026 = MjdFromCivil(2026, 3, 15, 12, 0, 0.0);

InputFileInfo at2026(const std::string& path) { return classify(path, kNow2026); }

// year-month-day hh:mm, for compact comparisons.
std::string dateOf(const InputFileInfo& info) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d doy %03d", info.year, info.month, info.day, info.hour,
                  info.minute, info.dayOfYear);
    return text;
}

}  // namespace

TEST(Classify, ShortNameYearsAndTheDateWindow) {
    InputFileInfo info = at2026("/data/bjfs/bjfs0010.20o");
    EXPECT_EQ(info.kind, kShortSessionName);
    EXPECT_EQ(info.nameForm, 1);
    EXPECT_EQ(info.directory, "/data/bjfs/");
    EXPECT_EQ(info.fileName, "bjfs0010.20o");
    EXPECT_EQ(info.extension, "20o");
    EXPECT_EQ(info.nameLength, 12);
    EXPECT_EQ(info.stationCode, "bjfs");
    EXPECT_EQ(dateOf(info), "2020-01-01 00:00 doy 001");
    EXPECT_EQ(info.isRinexObs, 1);
    EXPECT_EQ(info.isNavigation, 0);
    EXPECT_EQ(info.isHatanaka, 0);
    EXPECT_EQ(info.isCompressedZ, 0);
    EXPECT_EQ(info.nameValid, 1);

    info = at2026("abcd1230.18o");
    EXPECT_EQ(info.year, 2018);
    EXPECT_EQ(info.kind, kShortSessionName);

    // 81 is 1981, a valid year, but before 1990: refused.
    info = at2026("abcd1230.81o");
    EXPECT_EQ(info.year, 1981);
    EXPECT_EQ(info.kind, kDateOutOfRange);
    EXPECT_EQ(info.nameForm, 0);
    EXPECT_EQ(info.nameValid, 1);

    // 80 is 2080: more than ten years after 2026.
    info = at2026("abcd1230.80o");
    EXPECT_EQ(info.year, 2080);
    EXPECT_EQ(info.kind, kDateOutOfRange);
    EXPECT_EQ(info.nameForm, 0);

    // The ten-year window around the fixed "now".
    EXPECT_EQ(at2026("abcd0010.36o").kind, kShortSessionName);
    EXPECT_EQ(at2026("abcd0010.37o").kind, kDateOutOfRange);
    EXPECT_EQ(classify("abcd0010.37o", MjdFromCivil(2027, 6, 1, 0, 0, 0.0)).kind, kShortSessionName);
    // 1 January 1990 itself is inside, whatever the time of day of "now".
    EXPECT_EQ(classify("abcd0010.90o", kNow2026 + 0.99).kind, kShortSessionName);
    EXPECT_EQ(at2026("abcd3650.89o").kind, kDateOutOfRange);

    // Day-of-year limits: 366 only in leap years, 000 never.
    EXPECT_EQ(dateOf(at2026("abcd3660.20o")), "2020-12-31 00:00 doy 366");
    EXPECT_EQ(at2026("abcd3660.19o").kind, kDateOutOfRange);
    EXPECT_EQ(at2026("abcd0000.19o").kind, kDateOutOfRange);
    EXPECT_EQ(dateOf(at2026("abcd0600.20o")), "2020-02-29 00:00 doy 060");
}

TEST(Classify, ShortNameForms) {
    InputFileInfo info = at2026("bjfs001x.20o");
    EXPECT_EQ(info.kind, kShortHourlyName);
    EXPECT_EQ(info.hour, 23);
    EXPECT_EQ(info.spareFlag, 1);
    EXPECT_EQ(at2026("BJFS001A.20O").hour, 0);
    EXPECT_EQ(at2026("BJFS001A.20O").stationCode, "BJFS");
    EXPECT_EQ(at2026("BJFS001A.20O").extension, "20o");
    EXPECT_EQ(at2026("bjfs001y.20o").kind, kDateOutOfRange);  // there is no hour 24

    info = at2026("bjfs001c45.20o");
    EXPECT_EQ(info.kind, kShortSubHourlyName);
    EXPECT_EQ(dateOf(info), "2020-01-01 02:45 doy 001");
    EXPECT_EQ(at2026("bjfs001c60.20o").kind, kDateOutOfRange);
    EXPECT_EQ(at2026("bjfs001c4.20o").kind, kInvalidName);

    info = at2026("bjfs_032143.20o");
    EXPECT_EQ(info.kind, kShortUnderscoreName);
    EXPECT_EQ(dateOf(info), "2020-02-01 14:00 doy 032");
    EXPECT_EQ(info.stationCode, "bjfs");

    info = at2026("bjfs0011.20d");
    EXPECT_EQ(info.kind, kShortSessionName);
    EXPECT_EQ(info.spareFlag, 0);
    EXPECT_EQ(info.isRinexObs, 1);
    EXPECT_EQ(info.isHatanaka, 1);

    info = at2026("brdc0010.20n");
    EXPECT_EQ(info.kind, kShortSessionName);
    EXPECT_EQ(info.isRinexObs, 0);
    EXPECT_EQ(info.isNavigation, 1);
    EXPECT_EQ(info.stationCode, "brdc");
}

TEST(Classify, CompressedShortNamesMatchTheirPlainTwins) {
    for (const char* type : {"o", "d", "n"}) {
        const InputFileInfo plain = at2026(std::string("/d/bele0100.24") + type);
        for (const char* suffix : {".Z", ".z", ".gz", ".GZ"}) {
            const std::string name = std::string("/d/bele0100.24") + type + suffix;
            const InputFileInfo packed = at2026(name);
            SCOPED_TRACE(name);
            EXPECT_EQ(packed.kind, plain.kind);
            EXPECT_EQ(packed.nameForm, plain.nameForm);
            EXPECT_EQ(packed.isRinexObs, plain.isRinexObs);
            EXPECT_EQ(packed.isNavigation, plain.isNavigation);
            EXPECT_EQ(packed.isHatanaka, plain.isHatanaka);
            EXPECT_EQ(packed.stationCode, plain.stationCode);
            EXPECT_EQ(dateOf(packed), dateOf(plain));
            EXPECT_EQ(plain.isCompressedZ, 0);
            EXPECT_EQ(packed.isCompressedZ, 1);
            EXPECT_EQ(packed.isGzip, suffix[1] == 'g' || suffix[1] == 'G' ? 1 : 0);
            EXPECT_EQ(rinexCompressionCode(packed), plain.isHatanaka == 1 ? 3 : 1);
        }
        EXPECT_EQ(rinexCompressionCode(plain), plain.isHatanaka == 1 ? 2 : 0);
    }
    EXPECT_EQ(at2026("bele0100.24o.gz").extension, "24o.gz");
    EXPECT_EQ(at2026("bele0100.24O.Z").extension, "24o.z");
    // Other suffixes or type letters are not RINEX 2 names.
    for (const char* name : {"bele0100.24o.bz2", "bele0100.24o.zip", "codg0010.20i.Z", "bele0100.24g.gz",
                             "bele0100.2o", "bele010.24o", "bele01000.24o", "bele0100.24o.Z.gz"}) {
        EXPECT_EQ(at2026(name).kind, kInvalidName) << name;
        EXPECT_EQ(at2026(name).nameForm, -1) << name;
    }
}

TEST(Classify, Rinex3LongNames) {
    // Character 30 holds the type in the short form of the name.
    InputFileInfo info = at2026("/d/ABCD00XYZ_R_20201770000_01D_MO.crx.gz");
    EXPECT_EQ(info.kind, kLongObservationName);
    EXPECT_EQ(info.isHatanaka, 1);
    EXPECT_EQ(info.isCompressedZ, 1);
    EXPECT_EQ(info.isGzip, 1);
    EXPECT_EQ(info.isRinexObs, 1);

    // Published observation names carry the sampling field first.
    info = at2026("ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz");
    EXPECT_EQ(info.kind, kLongObservationName);
    EXPECT_EQ(info.stationCode, "ESBC");
    EXPECT_EQ(dateOf(info), "2020-06-25 00:00 doy 177");
    EXPECT_EQ(info.extension, "crx.gz");
    EXPECT_EQ(rinexCompressionCode(info), 3);

    info = at2026("NYA100NOR_S_20241241530_01H_01S_MO.rnx");
    EXPECT_EQ(info.kind, kLongObservationName);
    EXPECT_EQ(info.isHatanaka, 0);
    EXPECT_EQ(info.isCompressedZ, 0);
    EXPECT_EQ(dateOf(info), "2024-05-03 15:30 doy 124");
    EXPECT_EQ(rinexCompressionCode(info), 0);
    EXPECT_EQ(rinexCompressionCode(at2026("NYA100NOR_S_20241240000_01D_30S_MO.crx")), 2);
    EXPECT_EQ(rinexCompressionCode(at2026("NYA100NOR_S_20241240000_01D_30S_MO.rnx.Z")), 1);
    EXPECT_EQ(at2026("NYA100NOR_S_20241240000_01D_30S_MO.crx.Z").isGzip, 0);

    info = at2026("BRDC00IGS_R_20240100000_01D_MN.rnx.gz");
    EXPECT_EQ(info.kind, kLongNavigationName);
    EXPECT_EQ(info.isNavigation, 1);
    EXPECT_EQ(info.isRinexObs, 0);
    EXPECT_EQ(dateOf(info), "2024-01-10 00:00 doy 010");
    EXPECT_EQ(at2026("NYA100NOR_S_20241240000_01D_GN.rnx").kind, kLongNavigationName);

    EXPECT_EQ(at2026("NYA100NOR_S_20241242400_01D_30S_MO.rnx").kind, kDateOutOfRange);  // hour 24
    EXPECT_EQ(at2026("NYA100NOR_S_20243670000_01D_30S_MO.rnx").kind, kDateOutOfRange);  // day 367
    for (const char* name : {
             "NYA100NOR_S_20241240000_01D_30S_MM.rnx",    // meteorological data
             "NYA100NOR_S_20241240000_01D_MN.crx",        // Compact RINEX holds no navigation
             "NYA100NOR-S_20241240000_01D_30S_MO.rnx",    // separator missing
             "NYA100NOR_S_2024124000X_01D_30S_MO.rnx",    // letter among the date digits
             "NYA100NOR_S_20241240000_01D_30S_MO.obs",    // not a RINEX 3 extension
             "NYA100NOR_S_20241240000_01D_30S_MO.rnx.bz2",
         }) {
        EXPECT_EQ(at2026(name).kind, kInvalidName) << name;
    }
}

TEST(Classify, NovatelScindaAndDcbNames) {
    InputFileInfo info = at2026("/rx/200101_123456.nvd");
    EXPECT_EQ(info.kind, kNovatelName);
    EXPECT_EQ(info.stationCode, "N_A_");
    EXPECT_EQ(dateOf(info), "2020-01-01 12:34 doy 001");
    EXPECT_DOUBLE_EQ(info.seconds, 56.0);

    info = at2026("991231_235959.SCN");
    EXPECT_EQ(info.kind, kScindaName);
    EXPECT_EQ(dateOf(info), "1999-12-31 23:59 doy 365");
    EXPECT_EQ(at2026("140101_000000.scn.Z").kind, kScindaName);
    EXPECT_EQ(at2026("140101_000000.scn.Z").isCompressedZ, 1);
    EXPECT_EQ(at2026("140230_000000.scn").kind, kDateOutOfRange);  // 30 February
    EXPECT_EQ(at2026("140101_000060.scn").kind, kDateOutOfRange);
    for (const char* name : {"1401011_00000.scn", "140101_00000.scn", "140101_0000000.scn", "14010a_000000.scn",
                             "140101_000000.dat", "140101-000000.nvd"}) {
        EXPECT_EQ(at2026(name).kind, kInvalidName) << name;
    }

    info = at2026("/d/P1P22001_ALL.DCB.Z");
    EXPECT_EQ(info.kind, kDcbName);
    EXPECT_EQ(info.isDcb, 1);
    EXPECT_EQ(info.isCompressedZ, 1);
    EXPECT_EQ(info.stationCode, "N_A_");
    EXPECT_EQ(dateOf(info), "2020-01-15 00:00 doy 015");
    info = at2026("P1C11601.DCB");
    EXPECT_EQ(info.kind, kDcbName);
    EXPECT_EQ(info.isCompressedZ, 0);
    EXPECT_EQ(info.year, 2016);
    EXPECT_EQ(at2026("p1p29912.dcb").year, 1999);
    EXPECT_EQ(at2026("P1P22013.DCB").kind, kDateOutOfRange);  // month 13
    for (const char* name : {"P1P2200.DCB", "P2C22001.DCB", "P1P22001ALL.DCB", "P1P22001.txt", "P1P2.DCB"}) {
        EXPECT_EQ(at2026(name).kind, kInvalidName) << name;
    }
}

TEST(Classify, NamesWithoutAForm) {
    for (const char* path : {"", "/data/", "readme", "bjfs0010", "/d/bjfs0010.20x", "bjfs0010.20o.bak",
                             "BJFS001-2020-01-01.Cmn", "COD20863.EPH.Z", "a.b.c.d", ".20o"}) {
        const InputFileInfo info = at2026(path);
        EXPECT_EQ(info.kind, kInvalidName) << path;
        EXPECT_EQ(info.nameForm, -1) << path;
        EXPECT_EQ(info.nameValid, 0) << path;
        EXPECT_TRUE(info.stationCode.empty()) << path;
        EXPECT_EQ(info.year, -1) << path;
    }
    EXPECT_EQ(at2026("/data/").directory, "/data/");
    EXPECT_EQ(at2026("/data/").fileName, "");
    EXPECT_EQ(at2026("dir.v2/readme").extension, "");  // a dot in the directory is not an extension
}

TEST(Classify, DefaultNowIsThisProcessClock) {
    const double now = processNowMjd();
    const double utcMjd = static_cast<double>(std::time(nullptr)) / 86400.0 + 40587.0;
    EXPECT_NEAR(now, utcMjd, 1.0);  // local time differs from UTC by less than a day
    EXPECT_EQ(processNowMjd(), now);
    const InputFileInfo a = classify("bjfs0010.20o");
    const InputFileInfo b = classify("bjfs0010.20o", now);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(dateOf(a), dateOf(b));
}

TEST(SetInputKindFlags, FollowsTheNameAndClearsTheRest) {
    InputKindFlags flags;
    flags.lisn = flags.scindaPrc = flags.inWorkA = flags.spare = 1;  // left from an earlier input
    setInputKindFlags(flags, at2026("bjfs0010.20d.Z"));
    EXPECT_EQ(flags.rinexObs, 1);
    EXPECT_EQ(flags.hatanaka, 1);
    EXPECT_EQ(flags.compressedZ, 1);
    EXPECT_EQ(flags.lisn + flags.scindaPrc + flags.inWorkA + flags.spare + flags.novatel + flags.ism, 0);

    setInputKindFlags(flags, at2026("bjfs0010.20o.gz"));
    EXPECT_EQ(flags.rinexObs, 1);
    EXPECT_EQ(flags.hatanaka, 0);
    EXPECT_EQ(flags.compressedZ, 1);

    setInputKindFlags(flags, at2026("brdc0010.20n.Z"));  // navigation is not an input
    EXPECT_EQ(flags.rinexObs + flags.hatanaka, 0);
    EXPECT_EQ(flags.compressedZ, 1);

    setInputKindFlags(flags, at2026("200101_123456.nvd"));
    EXPECT_EQ(flags.novatel, 1);
    EXPECT_EQ(flags.ism, 1);
    EXPECT_EQ(flags.scinda + flags.rinexObs, 0);

    setInputKindFlags(flags, at2026("200101_123456.scn"));
    EXPECT_EQ(flags.scinda, 1);
    EXPECT_EQ(flags.novatel + flags.ism, 0);

    setInputKindFlags(flags, at2026("notes.txt.gz"));
    EXPECT_EQ(flags.compressedZ, 1);
    EXPECT_EQ(flags.rinexObs + flags.hatanaka + flags.novatel + flags.ism + flags.scinda, 0);
}
