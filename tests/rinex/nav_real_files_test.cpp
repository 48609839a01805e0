// The navigation readers on real files: excerpts kept in tests/data and, when the folder of
// real data is on this machine, whole daily files and the public collections of defective files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "decompress/plain_copy.h"
#include "geodesy/time.h"
#include "nav_test_text.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// Records per system letter counted straight from the text: lines after the header that begin
// a record (a letter in RINEX 3; in RINEX 2 a PRN in the first three columns, for `rinex2Letter`).
std::map<char, int> countRecordStarts(const std::string& path, char rinex2Letter) {
    std::istringstream text(readWholeFile(path));
    std::map<char, int> counts;
    bool inHeader = true;
    for (std::string line; std::getline(text, line);) {
        if (inHeader) {
            inHeader = line.find("END OF HEADER") == std::string::npos;
        } else if (rinex2Letter != 0) {
            if (line.size() > 3 && line.substr(0, 3) != "   ") ++counts[rinex2Letter];
        } else if (!line.empty() && std::isalpha(static_cast<unsigned char>(line[0]))) {
            ++counts[line[0]];
        }
    }
    return counts;
}

// Records stored per system letter; every record checked for plausibility on the way: orbits
// near 26 560 km (GPS sqrt A about 5153.6) or GLONASS 25 500 km, times of ephemeris within
// hours of the clock time, GLONASS channels -7..13.
std::map<char, int> checkedCountsBySystem(const EphemerisTable& table) {
    static const char kLetters[] = "?GSRECJI";
    std::map<char, int> counts;
    for (const auto& [satNo, byEpoch] : table.kepler) {
        for (const auto& [epoch, records] : byEpoch) {
            counts[kLetters[systemOf(satNo)]] += static_cast<int>(records.size());
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
            counts['R'] += static_cast<int>(records.size());
            for (const GlonassEphemeris& g : records) {
                EXPECT_NEAR(std::sqrt(g.x_m * g.x_m + g.y_m * g.y_m + g.z_m * g.z_m), 25.5e6, 0.2e6) << satNo;
                EXPECT_LE(std::fabs(g.frameTimeMjd - g.epochMjd), 0.5) << satNo;
                EXPECT_TRUE(g.frequencyChannel >= -7 && g.frequencyChannel <= 13) << satNo;
            }
        }
    }
    for (const auto& [satNo, byEpoch] : table.sbas) {
        for (const auto& entry : byEpoch) counts['S'] += static_cast<int>(entry.second.size());
    }
    return counts;
}

std::string testData(const std::string& name) { return std::string(VELARIX_TEST_DATA) + "/" + name; }

}  // namespace

TEST(NavRealFiles, ExcerptsOfEachVersion) {
    const std::pair<const char*, char> excerpts[] = {
        {"nav_esbc_r305_excerpt.rnx", 0}, {"nav_brdc_r304_excerpt.rnx", 0}, {"nav_brdc_r201_glonass_excerpt.24g", 'R'}};
    for (const auto& [name, rinex2Letter] : excerpts) {
        const NavRead read(testData(name));
        ASSERT_EQ(read.result, 0) << read.log.messages;
        EXPECT_EQ(read.log.messages, "");
        EXPECT_EQ(checkedCountsBySystem(read.table), countRecordStarts(testData(name), rinex2Letter)) << name;
    }
    // Two Galileo messages (I/NAV, F/NAV) of one epoch, kept in file order.
    const NavRead esbc(testData("nav_esbc_r305_excerpt.rnx"));
    const auto& e01 = esbc.table.kepler.at(301).at(MjdFromCivil(2020, 6, 24, 23, 30, 0.0));
    ASSERT_EQ(e01.size(), 2u);
    EXPECT_EQ(e01[1].codesOnL2, 517);
    // GLONASS records of RINEX 3.05 have a fourth orbit line, which is not needed here.
    EXPECT_NEAR(esbc.glonass(201).frameTimeMjd, MjdFromCivil(2020, 6, 24, 23, 0, 18.0), 1e-9);  // 342000 s of the week
    const NavRead brdc(testData("nav_brdc_r304_excerpt.rnx"));
    EXPECT_NEAR(brdc.kepler(602).transmissionMjd, MjdFromCivil(2024, 1, 9, 23, 57, 0.0), 1e-9);  // IRNSS: 259020 s
}

TEST(NavRealFiles, DailyFilesOfAllSystems) {
    const std::string dir = sharedDataDir();
    if (dir.empty()) GTEST_SKIP() << "no shared data folder";
    const struct {
        const char* path;
        char rinex2Letter;
        int records;
    } files[] = {{"set1_bjfs_2020_001/brdc0010.20n", 'G', 418},
                 {"set3_cat2_2016_001/cat20010.16n", 'G', 807},
                 {"set9_nya1_2024_124/brdc1240.24n", 'G', 420},
                 {"set6_bele_dgar_2024_010/brdc0100.24n.gz", 'G', 402},
                 {"set6_bele_dgar_2024_010/brdc0100.24g.gz", 'R', 1198},
                 {"set6_bele_dgar_2024_010/BRDC00IGS_R_20240100000_01D_MN.rnx.gz", 0, 23962},
                 {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_MN.rnx.gz", 0, 4871},
                 {"set7_esbc_2020_177/MOJN00DNK_R_20201770000_01D_MN.rnx.gz", 0, 4898},
                 {"set9_nya1_2024_124/NYA100NOR_S_20241240000_01D_GN.rnx.gz", 0, 215}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.path);
        const PlainCopy plain(dir + file.path);
        ASSERT_TRUE(plain.ok()) << plain.error();
        const NavRead read(plain.path());
        ASSERT_EQ(read.result, 0);
        EXPECT_EQ(read.log.messages, "");
        EXPECT_EQ(read.table.recordCount, file.records);
        EXPECT_EQ(checkedCountsBySystem(read.table), countRecordStarts(plain.path(), file.rinex2Letter));
    }
}

TEST(NavRealFiles, DefectiveFilesGiveTheirMessageOrReadCleanly) {
    const std::string dir = sharedDataDir();
    if (dir.empty()) GTEST_SKIP() << "no shared data folder";
    // The gpstk collection holds each kind in RINEX 2 (.99n) and RINEX 3 (.15n): records read, or
    // -2 for a refused file. BadHeader: header only, version 3.33 and a word run into the label.
    const struct {
        const char* kind;
        int rinex2, rinex3;
    } kinds[] = {{"BadHeader", 0, 2},       {"FilterTest1", 2, 2},      {"FilterTest2", 2, 2},
                 {"FilterTest3", 2, 2},     {"IncompleteHeader", 0, 0}, {"InvalidLineLength", 0, 0},
                 {"NotaNavFile", -2, -2},   {"RinexNavExample", 2, 13}, {"UnknownHeaderLabel", 0, 0},
                 {"UnsupportedRinex", 0, 0}};
    for (const auto& kind : kinds) {
        for (int version : {2, 3}) {
            const std::string path = dir + "bad_files/gpstk/test_input_rinex" + std::to_string(version) + "_nav_" +
                                     kind.kind + (version == 2 ? ".99n" : ".15n");
            const int expected = version == 2 ? kind.rinex2 : kind.rinex3;
            const NavRead read(path);
            EXPECT_EQ(read.result, expected < 0 ? -2 : 0) << path;
            EXPECT_EQ(read.table.recordCount, std::max(expected, 0)) << path;
            EXPECT_EQ(read.log.messages, expected < 0 ? "\r\nError! not a navigation file (type 'Z'): " + path : "");
            // The receiver-format reader takes the RINEX 2 GPS files and refuses the rest.
            const GpsRead gps(path);
            if (version == 2 && expected > 0) {
                EXPECT_EQ(gps.result, 0) << path;
                EXPECT_EQ(static_cast<int>(gps.table.byPrn.size()), expected) << path;
            } else if (version == 3 || expected < 0) {
                EXPECT_EQ(gps.result, -2) << path;
            }
        }
    }
    // " E33 ..." with a blank before the identifier.
    const NavRead gal(dir + "bad_files/gpstk/test_input_rinex3_nav_gal.20n");
    EXPECT_EQ(gal.table.recordCount, 39);
    EXPECT_EQ(gal.log.messages, "\r\nNavR3-exception bad data format @line#:287\r\n");
    const NavRead blank(dir + "bad_files/georinex/blank.10n");
    EXPECT_EQ(blank.result + blank.table.recordCount, 0);
    EXPECT_EQ(blank.log.messages, "");
}

}  // namespace velarix
