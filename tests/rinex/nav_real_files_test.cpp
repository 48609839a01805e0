// The navigation reader on real files: excerpts kept in tests/data and, when the folder
// of real data is on this machine, whole daily files and the public collections of
// defective files.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <map>
#include <sstream>

#include "decompress/plain_copy.h"
#include "gnss/time.h"
#include "platform/run_log.h"
#include "platform/text.h"
#include "rinex/nav_gps_r2_reader.h"
#include "rinex/nav_reader.h"
#include "rinex/satellite_id.h"
#include "test_support.h"

namespace {

struct NavFileRead {
    int result = 0;
    EphemerisTable table;
    NavHeader header;
    RunLog log;
    NavReadReport report;
};

NavFileRead readNav(const std::string& path) {
    NavFileRead read;
    read.result = readNavigationFile(path, read.table, read.header, read.log, &read.report);
    return read;
}

std::string testData(const std::string& name) { return std::string(VELARIX_TEST_DATA) + "/" + name; }

// Records per system letter counted straight from the text: lines after the header that
// begin a record (a letter in RINEX 3, a PRN in the first three columns in RINEX 2).
std::map<char, int> countRecordStarts(const std::string& path, char rinex2Letter) {
    std::istringstream text(readWholeFile(path));
    std::map<char, int> counts;
    std::string line;
    bool inHeader = true;
    while (std::getline(text, line)) {
        if (inHeader) {
            inHeader = line.find("END OF HEADER") == std::string::npos;
            continue;
        }
        if (rinex2Letter != 0) {
            if (line.size() > 3 && line.substr(0, 3) != "   ") ++counts[rinex2Letter];
        } else if (!line.empty() && std::isalpha(static_cast<unsigned char>(line[0]))) {
            ++counts[line[0]];
        }
    }
    return counts;
}

std::map<char, int> countStoredBySystem(const EphemerisTable& table) {
    static const char kLetters[] = "?GSRECJI";
    std::map<char, int> counts;
    auto add = [&](int satNo, size_t records) { counts[kLetters[systemOf(satNo)]] += static_cast<int>(records); };
    for (const auto& [satNo, byEpoch] : table.kepler)
        for (const auto& entry : byEpoch) add(satNo, entry.second.size());
    for (const auto& [satNo, byEpoch] : table.glonass)
        for (const auto& entry : byEpoch) add(satNo, entry.second.size());
    for (const auto& [satNo, byEpoch] : table.sbas)
        for (const auto& entry : byEpoch) add(satNo, entry.second.size());
    return counts;
}

// Plausibility of every record: GPS-like orbits near 26 560 km (sqrt A about 5153.6),
// GLONASS near 25 500 km, times of ephemeris within hours of the clock time.
void expectPlausibleOrbits(const EphemerisTable& table) {
    for (const auto& [satNo, byEpoch] : table.kepler) {
        for (const auto& [epoch, records] : byEpoch) {
            for (const KeplerEphemeris& k : records) {
                if (k.systemCode == kGps) {
                    EXPECT_NEAR(std::sqrt(k.semiMajorAxis_m), 5153.6, 3.0) << satNo;
                }
                EXPECT_GT(k.semiMajorAxis_m, 2.5e7) << satNo;
                EXPECT_LT(k.eccentricity, 0.2) << satNo;  // Galileo E14 and E18 fly at 0.16
                EXPECT_LT(std::fabs(k.toeMjd - k.tocMjd), 0.25) << satNo;
                EXPECT_DOUBLE_EQ(epoch, k.tocMjd);
            }
        }
    }
    for (const auto& [satNo, byEpoch] : table.glonass) {
        for (const auto& [epoch, records] : byEpoch) {
            for (const GlonassEphemeris& g : records) {
                EXPECT_NEAR(std::sqrt(g.x_m * g.x_m + g.y_m * g.y_m + g.z_m * g.z_m), 25.5e6, 0.2e6) << satNo;
                EXPECT_LE(std::fabs(g.frameTimeMjd - g.epochMjd), 0.5) << satNo;
                EXPECT_GE(g.frequencyChannel, -7);
                EXPECT_LE(g.frequencyChannel, 13);
            }
        }
    }
}

// A compressed file expanded by PlainCopy; the test is skipped when that cannot be done.
#define PLAIN_OR_SKIP(copy, input)                                                             \
    PlainCopy copy(input);                                                                     \
    if (!copy.ok() || endsWithNoCase(copy.path(), ".gz") || endsWithNoCase(copy.path(), ".Z")) \
    GTEST_SKIP() << "cannot expand " << (input) << " yet"

#define SHARED_OR_SKIP(dir)                  \
    const std::string dir = sharedDataDir(); \
    if (dir.empty()) GTEST_SKIP() << "no shared data folder"

}  // namespace

TEST(NavRealFiles, Rinex305MixedExcerpt) {
    const std::string path = testData("nav_esbc_r305_excerpt.rnx");
    const NavFileRead read = readNav(path);
    ASSERT_EQ(read.result, 0) << read.log.messages;
    EXPECT_EQ(read.log.messages, "");
    EXPECT_EQ(read.table.recordCount, 12);
    EXPECT_EQ(countStoredBySystem(read.table), countRecordStarts(path, 0));
    EXPECT_DOUBLE_EQ(read.header.version, 3.05);
    EXPECT_EQ(read.header.systemCode, kMixed);
    EXPECT_DOUBLE_EQ(read.header.galileo.value[0], 28.25);
    EXPECT_EQ(read.header.gput.referenceTime_s, 589824);
    EXPECT_EQ(read.header.leapSeconds, 18);
    expectPlausibleOrbits(read.table);

    // Two Galileo messages (I/NAV, F/NAV) of one epoch, kept in file order.
    const auto& e01 = read.table.kepler.at(301).at(MjdFromCivil(2020, 6, 24, 23, 30, 0.0));
    ASSERT_EQ(e01.size(), 2u);
    EXPECT_DOUBLE_EQ(e01[0].af0_s, -8.846927667037e-04);
    EXPECT_EQ(e01[0].codesOnL2, 258);
    EXPECT_DOUBLE_EQ(e01[1].af0_s, -8.846933487803e-04);
    EXPECT_EQ(e01[1].codesOnL2, 517);
    EXPECT_DOUBLE_EQ(e01[1].tgd2_s, -2.095475792885e-09);

    const KeplerEphemeris& g01 = read.table.kepler.at(1).begin()->second.at(0);
    EXPECT_DOUBLE_EQ(g01.semiMajorAxis_m, 5.153707128525e+03 * 5.153707128525e+03);
    EXPECT_EQ(g01.issueOfData, 58);
    EXPECT_DOUBLE_EQ(g01.fitInterval, 4.0);
    EXPECT_NEAR(g01.toeMjd, MjdFromCivil(2020, 6, 25, 4, 0, 0.0), 1e-9);

    // GLONASS records of RINEX 3.05 have a fourth orbit line, which is not needed here.
    const GlonassEphemeris& r01 = read.table.glonass.at(201).begin()->second.at(0);
    EXPECT_DOUBLE_EQ(r01.epochMjd, MjdFromCivil(2020, 6, 24, 23, 15, 18.0));
    EXPECT_NEAR(r01.frameTimeMjd, MjdFromCivil(2020, 6, 24, 23, 0, 18.0), 1e-9);  // 342000 s of the week
    EXPECT_DOUBLE_EQ(r01.x_m, 1.090894238281e+04 * 1000.0);
    EXPECT_DOUBLE_EQ(r01.tauN_s, -6.355904042721e-05);
    EXPECT_EQ(r01.frequencyChannel, 1);

    const SbasEphemeris& s23 = read.table.sbas.at(123).begin()->second.at(0);
    EXPECT_DOUBLE_EQ(s23.x_m, 3.594460000000e+07);
    EXPECT_EQ(s23.health, 63);
}

TEST(NavRealFiles, Rinex304MixedExcerptWithIrnssAndBeiDou) {
    const std::string path = testData("nav_brdc_r304_excerpt.rnx");
    const NavFileRead read = readNav(path);
    ASSERT_EQ(read.result, 0) << read.log.messages;
    EXPECT_EQ(read.log.messages, "");
    EXPECT_EQ(read.table.recordCount, 14);
    EXPECT_EQ(countStoredBySystem(read.table), countRecordStarts(path, 0));
    expectPlausibleOrbits(read.table);
    EXPECT_TRUE(read.header.beidouAlpha.present);
    EXPECT_TRUE(read.header.qzssBeta.present);
    EXPECT_EQ(read.header.bdut.referenceWeek, 940);

    const KeplerEphemeris& i02 = read.table.kepler.at(602).begin()->second.at(0);
    EXPECT_EQ(i02.systemCode, kIrnss);
    EXPECT_NEAR(i02.tocMjd, MjdFromCivil(2024, 1, 9, 23, 50, 24.0), 1e-9);
    EXPECT_NEAR(i02.toeMjd, i02.tocMjd, 1e-9);
    EXPECT_NEAR(i02.transmissionMjd, MjdFromCivil(2024, 1, 9, 23, 57, 0.0), 1e-9);  // 259020 s

    const auto& c01 = read.table.kepler.at(401);
    EXPECT_NEAR(c01.begin()->first, MjdFromCivil(2024, 1, 10, 0, 0, 14.0), 1e-9);
    EXPECT_NEAR(c01.begin()->second.at(0).toeMjd, MjdFromCivil(2024, 1, 10, 0, 0, 14.0), 1e-9);
    EXPECT_DOUBLE_EQ(c01.begin()->second.at(0).tgd2_s, -9.8e-9);
}

TEST(NavRealFiles, Rinex2GlonassExcerpt) {
    const NavFileRead read = readNav(testData("nav_brdc_r201_glonass_excerpt.24g"));
    ASSERT_EQ(read.result, 0) << read.log.messages;
    EXPECT_EQ(read.header.systemCode, kGlonass);
    EXPECT_EQ(read.table.recordCount, 8);
    for (int satNo = 201; satNo <= 208; ++satNo) {
        ASSERT_EQ(read.table.glonass.count(satNo), 1u) << satNo;
        EXPECT_DOUBLE_EQ(read.table.glonass.at(satNo).begin()->first, MjdFromCivil(2024, 1, 10, 0, 15, 18.0));
    }
    EXPECT_EQ(read.table.glonass.at(202).begin()->second[0].frequencyChannel, -4);
    expectPlausibleOrbits(read.table);
}

TEST(NavRealFiles, Rinex2GpsDailyFiles) {
    SHARED_OR_SKIP(dir);
    const struct {
        const char* path;
        int records;
        size_t satellites;
    } files[] = {{"set1_bjfs_2020_001/brdc0010.20n", 418, 32},
                 {"set3_cat2_2016_001/cat20010.16n", 807, 32},
                 {"set9_nya1_2024_124/brdc1240.24n", 420, 32}};
    for (const auto& file : files) {
        const NavFileRead read = readNav(dir + file.path);
        ASSERT_EQ(read.result, 0) << file.path;
        EXPECT_EQ(read.log.messages, "") << file.path;
        EXPECT_EQ(read.table.recordCount, file.records) << file.path;
        EXPECT_EQ(read.table.kepler.size(), file.satellites) << file.path;
        EXPECT_EQ(countStoredBySystem(read.table)['G'], countRecordStarts(dir + file.path, 'G')['G']);
        expectPlausibleOrbits(read.table);
    }
}

TEST(NavRealFiles, CompressedDailyFilesOfAllSystems) {
    SHARED_OR_SKIP(dir);
    const struct {
        const char* path;
        char rinex2Letter;
        int records;
    } files[] = {{"set6_bele_dgar_2024_010/BRDC00IGS_R_20240100000_01D_MN.rnx.gz", 0, 23962},
                 {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_MN.rnx.gz", 0, 4871},
                 {"set7_esbc_2020_177/MOJN00DNK_R_20201770000_01D_MN.rnx.gz", 0, 4898},
                 {"set9_nya1_2024_124/NYA100NOR_S_20241240000_01D_GN.rnx.gz", 0, 215},
                 {"set6_bele_dgar_2024_010/brdc0100.24n.gz", 'G', 402},
                 {"set6_bele_dgar_2024_010/brdc0100.24g.gz", 'R', 1198}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.path);
        PLAIN_OR_SKIP(plain, dir + file.path);
        const NavFileRead read = readNav(plain.path());
        ASSERT_EQ(read.result, 0);
        EXPECT_EQ(read.log.messages, "");
        EXPECT_EQ(read.table.recordCount, file.records);
        EXPECT_EQ(countStoredBySystem(read.table), countRecordStarts(plain.path(), file.rinex2Letter));
        expectPlausibleOrbits(read.table);
    }
}

TEST(NavRealFiles, DefectiveFilesGiveTheirMessageOrReadCleanly) {
    SHARED_OR_SKIP(dir);
    const struct {
        const char* path;
        int result;
        int records;
        const char* message;  // the whole run-log text
    } files[] = {
        // Header only, version 3.33 and a word run into the label.
        {"gpstk/test_input_rinex2_nav_BadHeader.99n", 0, 0, ""},
        {"gpstk/test_input_rinex2_nav_FilterTest1.99n", 0, 2, ""},
        {"gpstk/test_input_rinex2_nav_FilterTest2.99n", 0, 2, ""},
        {"gpstk/test_input_rinex2_nav_FilterTest3.99n", 0, 2, ""},
        {"gpstk/test_input_rinex2_nav_IncompleteHeader.99n", 0, 0, ""},
        {"gpstk/test_input_rinex2_nav_InvalidLineLength.99n", 0, 0, ""},
        {"gpstk/test_input_rinex2_nav_NotaNavFile.99n", -2, 0, "\r\nError! not a navigation file (type 'Z'): "},
        {"gpstk/test_input_rinex2_nav_RinexNavExample.99n", 0, 2, ""},
        {"gpstk/test_input_rinex2_nav_UnknownHeaderLabel.99n", 0, 0, ""},
        {"gpstk/test_input_rinex2_nav_UnsupportedRinex.99n", 0, 0, ""},
        {"gpstk/test_input_rinex3_nav_BadHeader.15n", 0, 2, ""},
        {"gpstk/test_input_rinex3_nav_FilterTest1.15n", 0, 2, ""},
        {"gpstk/test_input_rinex3_nav_FilterTest2.15n", 0, 2, ""},
        {"gpstk/test_input_rinex3_nav_FilterTest3.15n", 0, 2, ""},
        {"gpstk/test_input_rinex3_nav_IncompleteHeader.15n", 0, 0, ""},
        {"gpstk/test_input_rinex3_nav_InvalidLineLength.15n", 0, 0, ""},
        {"gpstk/test_input_rinex3_nav_NotaNavFile.15n", -2, 0, "\r\nError! not a navigation file (type 'Z'): "},
        {"gpstk/test_input_rinex3_nav_RinexNavExample.15n", 0, 13, ""},
        {"gpstk/test_input_rinex3_nav_UnknownHeaderLabel.15n", 0, 0, ""},
        {"gpstk/test_input_rinex3_nav_UnsupportedRinex.15n", 0, 0, ""},
        // " E33 ..." with a blank before the identifier.
        {"gpstk/test_input_rinex3_nav_gal.20n", 0, 39, "\r\nNavR3-exception bad data format @line#:287\r\n"},
        {"georinex/blank.10n", 0, 0, ""},
    };
    for (const auto& file : files) {
        const std::string path = dir + "bad_files/" + file.path;
        const NavFileRead read = readNav(path);
        EXPECT_EQ(read.result, file.result) << file.path;
        EXPECT_EQ(read.table.recordCount, file.records) << file.path;
        const std::string expected = file.result == -2 ? std::string(file.message) + path : file.message;
        EXPECT_EQ(read.log.messages, expected) << file.path;

        // The receiver-format reader takes the RINEX 2 GPS ones and refuses the rest.
        GpsBroadcastTable gps;
        NavHeader header;
        RunLog log;
        const int gpsResult = readGpsNavigationR2(path, gps, header, log);
        const bool rinex2Gps = std::string(file.path).find("rinex2") != std::string::npos &&
                               std::string(file.path).find("NotaNav") == std::string::npos && header.version < 3.0;
        if (rinex2Gps) {
            EXPECT_EQ(gpsResult, 0) << file.path;
            EXPECT_EQ(static_cast<int>(gps.byPrn.size()), file.records) << file.path;
        } else if (std::string(file.path) != "georinex/blank.10n") {
            EXPECT_EQ(gpsResult, -2) << file.path;
        }
    }
}

TEST(NavRealFiles, ReadingAWholeMixedDayIsFast) {
    SHARED_OR_SKIP(dir);
    PLAIN_OR_SKIP(plain, dir + "set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
    const auto start = std::chrono::steady_clock::now();
    const NavFileRead read = readNav(plain.path());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(read.table.recordCount, 4871);
    EXPECT_LT(seconds, 0.5);  // 2.4 MB
}
