// The DCB reader on small made-up files and on CODE's published files.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "decompress/plain_copy.h"
#include "gnss/dcb_names.h"
#include "gnss/dcb_table.h"
#include "test_support.h"

namespace {

const std::string kHeader =
    "CODE'S MONTHLY GNSS P1-P2 DCB SOLUTION, YEAR 2020, MONTH 01      04-FEB-20 06:46\n"
    "PRN / STATION NAME        VALUE (NS)  RMS (NS)\n"
    "***   ****************    *****.***   *****.***\n";

}  // namespace

TEST(ReadDcbFiles, SatelliteLinesOnlyForGps1To32AndTheP1p2FileLast) {
    TempDir dir;
    const std::string p1c1 = dir.write("P1C12001.DCB", kHeader +
                                                           "G05                           1.500       0.002\n"
                                                           "G33                           9.000       0.002\n"
                                                           "R01                           7.000       0.002\n"
                                                           "G99                           7.000       0.002\n"
                                                           "G-1                           7.000       0.002\n"
                                                           "G00                           7.000       0.002\n"
                                                           "G07                           bad         0.002\n"
                                                           "G08                           nan         0.002\n"
                                                           "G09                           1e999       0.002\n"
                                                           "G     ABCD 12345M001          3.000       0.010\n");
    const std::string all = dir.write("P1P22001_ALL.DCB", kHeader +
                                                              "G05                           3.000       0.007\n"
                                                              "G07                          -2.000       0.007\n"
                                                              "R05                          11.000       0.007\n"
                                                              "G     ABCD 12345M001         -1.500       0.048\n"
                                                              "R     ABCD 12345M001        -19.000       0.051\n"
                                                              "G     FAIV                   -0.180       0.038\n"
                                                              "G     WXYZ 10001M002          2.500       0.020\n");
    const std::string p1p2 = dir.write("P1P22001.DCB", kHeader + "G05                           4.000       0.007\n");

    DcbTable table;
    ReadDcbFiles(p1c1, p1p2, all, table);
    for (int prn = 0; prn <= 32; ++prn) EXPECT_EQ(table.p1c1[prn], prn == 5 ? 1.5 : 0.0) << prn;
    EXPECT_EQ(table.p1p2[5], 4.0);  // the P1P2 file wins
    EXPECT_EQ(table.p1p2[7], -2.0);
    EXPECT_EQ(table.loaded, DcbTable::kP1c1Loaded | DcbTable::kP1p2Loaded);
    // GPS receivers by name; a receiver without a monument number shifts nothing.
    const std::map<std::string, double> receivers{{"ABCD", -1.5}, {"FAIV", -0.18}, {"WXYZ", 2.5}};
    EXPECT_EQ(table.receiverP1p2, receivers);

    // No header end: nothing; missing or unnamed files are skipped.
    DcbTable headless;
    ReadDcbFiles(dir.write("P1C12002.DCB", "G05                           1.500       0.002\n"),
                 dir.path() + "missing.DCB", "", headless);
    EXPECT_EQ(headless.loaded, 0);
    EXPECT_EQ(headless.p1c1[5], 0.0);
    EXPECT_TRUE(headless.receiverP1p2.empty());
}

TEST(DcbKindOfName, CodeMonthlyNamesInAnyCaseAndCompressed) {
    EXPECT_EQ(DcbKindOfName("/data/P1C12001.DCB.Z"), DcbFileKind::kP1c1);
    EXPECT_EQ(DcbKindOfName("p1p22001.dcb"), DcbFileKind::kP1p2);
    EXPECT_EQ(DcbKindOfName("x/P1P22001_ALL.DCB.Z"), DcbFileKind::kP1p2All);
    EXPECT_EQ(DcbKindOfName("P1P2201_ALL.DCB"), DcbFileKind::kNone);
    EXPECT_EQ(DcbKindOfName("P1C12001_ALL.DCB"), DcbFileKind::kNone);
    EXPECT_EQ(DcbKindOfName("P1P22001.DCB.gz"), DcbFileKind::kNone);
    EXPECT_EQ(DcbKindOfName("brdc0010.20n"), DcbFileKind::kNone);
}

TEST(ReadDcbFiles, CodesPublishedFilesOfJanuary2020And2016) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    const PlainCopy all(shared + "set1_bjfs_2020_001/P1P22001_ALL.DCB.Z");
    const PlainCopy p1c1(shared + "set1_bjfs_2020_001/P1C12001.DCB.Z");
    ASSERT_TRUE(all.ok() && p1c1.ok());
    DcbTable table;
    ReadDcbFiles(p1c1.path(), "", all.path(), table);
    EXPECT_EQ(table.loaded, DcbTable::kP1c1Loaded | DcbTable::kP1p2Loaded);
    // Values as printed in the files.
    EXPECT_EQ(table.p1p2[1], -7.651);
    EXPECT_EQ(table.p1p2[23], 9.228);
    EXPECT_EQ(table.p1p2[32], -4.272);
    EXPECT_EQ(table.p1c1[5], 1.281);
    EXPECT_EQ(table.p1c1[32], 1.481);
    EXPECT_EQ(table.receiverP1p2.at("ABPO"), -1.800);  // its GLONASS row is -19.177
    EXPECT_EQ(table.receiverP1p2.count("BJFS"), 0u);  // BJFS has a GLONASS row only
    // Every GPS receiver row of the file, and nothing else.
    std::istringstream text(readWholeFile(all.path()));
    std::set<std::string> gpsReceivers;
    for (std::string line; std::getline(text, line);) {
        if (line.rfind("G     ", 0) == 0) gpsReceivers.insert(line.substr(6, 4));
    }
    EXPECT_GT(gpsReceivers.size(), 100u);
    EXPECT_EQ(table.receiverP1p2.size(), gpsReceivers.size());

    // January 2016 lists receivers without a monument number.
    const PlainCopy all2016(shared + "set3_cat2_2016_001/P1P21601_ALL.DCB.Z");
    ASSERT_TRUE(all2016.ok());
    DcbTable table2016;
    ReadDcbFiles("", "", all2016.path(), table2016);
    EXPECT_EQ(table2016.receiverP1p2.at("FAIV"), -0.180);
    EXPECT_EQ(table2016.receiverP1p2.at("MNLS"), -6.040);
    EXPECT_EQ(table2016.receiverP1p2.at("FALE"), 14.316);
}
