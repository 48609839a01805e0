// The DCB reader on small made-up files and on CODE's published files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

#include "decompress/plain_copy.h"
#include "gnss/bias/dcb_names.h"
#include "gnss/bias/dcb_table.h"
#include "test_support.h"

namespace velarix {

TEST(ReadDcbFiles, SatelliteLinesOnlyForGps1To32TheP1p2FileLastAndCodesPublishedFiles) {
    // P1-C1: G05 and lines of PRNs 33, 99, -1, 0, of GLONASS, with unreadable values and of a
    // receiver. P1-P2 _ALL: G05, G07, R05 and receivers, one without a monument number.
    // P1-P2: G05 only.
    const std::string fixtures = std::string(VELARIX_TEST_DATA) + "/gnss/";
    DcbTable table;
    const DcbReadResult read =
        ReadDcbFiles(fixtures + "P1C12001.DCB", fixtures + "P1P22001.DCB", fixtures + "P1P22001_ALL.DCB", table);
    EXPECT_TRUE(read.p1c1 == DcbFileStatus::kRead && read.p1p2 == DcbFileStatus::kRead &&
                read.p1p2All == DcbFileStatus::kRead);
    for (int prn = 0; prn <= 32; ++prn) EXPECT_EQ(table.p1c1[prn], prn == 5 ? 1.5 : 0.0) << prn;
    EXPECT_TRUE(table.p1p2[5] == 4.0 && table.p1p2[7] == -2.0);  // the P1P2 file wins
    EXPECT_EQ(table.loaded, DcbTable::kP1c1Loaded | DcbTable::kP1p2Loaded);
    // GPS receivers by name; a receiver without a monument number shifts nothing.
    EXPECT_EQ(table.receiverP1p2, (std::map<std::string, double>{{"ABCD", -1.5}, {"FAIV", -0.18}, {"WXYZ", 2.5}}));

    // No header end: nothing; missing or unnamed files are skipped.
    TempDir dir;
    DcbTable headless;
    const DcbReadResult skipped = ReadDcbFiles(dir.write("P1C12002.DCB", "G05      1.500       0.002\n"),
                                               dir.path() + "missing.DCB", "", headless);
    EXPECT_TRUE(headless.loaded == 0 && headless.p1c1[5] == 0.0);
    EXPECT_TRUE(skipped.p1c1 == DcbFileStatus::kNoHeaderEnd && skipped.p1p2 == DcbFileStatus::kCannotOpen &&
                skipped.p1p2All == DcbFileStatus::kNotGiven);
    // CODE's monthly names in any case, compressed with .Z only.
    EXPECT_TRUE(DcbKindOfName("/data/P1C12001.DCB.Z") == DcbFileKind::kP1c1 &&
                DcbKindOfName("p1p22001.dcb") == DcbFileKind::kP1p2 &&
                DcbKindOfName("x/P1P22001_ALL.DCB.Z") == DcbFileKind::kP1p2All);
    for (const char* name : {"P1P2201_ALL.DCB", "P1C12001_ALL.DCB", "P1P22001.DCB.gz"}) {
        EXPECT_EQ(DcbKindOfName(name), DcbFileKind::kNone) << name;
    }

    // CODE's published files of January 2020.
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    const PlainCopy all(shared + "set1_bjfs_2020_001/P1P22001_ALL.DCB.Z");
    const PlainCopy p1c1(shared + "set1_bjfs_2020_001/P1C12001.DCB.Z");
    ASSERT_TRUE(all.ok() && p1c1.ok());
    table.clear();
    const DcbReadResult published = ReadDcbFiles(p1c1.path(), "", all.path(), table);
    EXPECT_TRUE(published.p1c1 == DcbFileStatus::kRead && published.p1p2All == DcbFileStatus::kRead);
    // Values as printed in the files.
    EXPECT_TRUE(table.p1p2[1] == -7.651 && table.p1p2[23] == 9.228 && table.p1p2[32] == -4.272);
    EXPECT_TRUE(table.p1c1[5] == 1.281 && table.p1c1[32] == 1.481);
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
}

TEST(ReadDcbFiles, AFileThatGivesNothingIsToldApartAndNamed) {
    TempDir dir;
    const std::string header = "CODE'S MONTHLY GNSS P1-C1 DCB SOLUTION, YEAR 2020, MONTH 01\n\n"
                               "PRN / STATION NAME        VALUE (NS)  RMS (NS)\n"
                               "***   ****************    *****.***   *****.***\n";
    ::mkdir((dir.path() + "P1C12001.DCB").c_str(), 0700);
    const struct {
        std::string path;
        DcbFileStatus status;
        std::string problem;  // after "\r\nError! DCB file <path>: "
    } cases[] = {
        {dir.path() + "P1C12001.DCB", DcbFileStatus::kNotRegularFile, "not a regular file"},
        {dir.path() + "P1C12002.DCB", DcbFileStatus::kCannotOpen, "cannot open"},
        {dir.write("P1C12003.DCB", ""), DcbFileStatus::kEmpty, "empty, nothing read"},
        {dir.write("P1C12004.DCB", header.substr(0, 60)), DcbFileStatus::kNoHeaderEnd, "no '***' line, nothing read"},
        {dir.write("P1C12005.DCB", "\x1f\x9d\x90garbage\n\xff\xfe\n"), DcbFileStatus::kNoHeaderEnd,
         "no '***' line, nothing read"},
        {dir.write("P1C12006.DCB", header + "R01    -1.0   0.1\nG77   2.0  0.1\nG05  x  y\n"), DcbFileStatus::kNoEntry,
         "no valid entry after the '***' line"},
        {dir.write("P1C12007.DCB", header + "G05    1.250   0.010\n"), DcbFileStatus::kRead, ""},
    };
    for (const auto& c : cases) {
        DcbTable table;
        const DcbReadResult result = ReadDcbFiles(c.path, "", "", table);
        EXPECT_EQ(result.p1c1, c.status) << c.path;
        EXPECT_EQ(table.loaded, c.status == DcbFileStatus::kRead ? DcbTable::kP1c1Loaded : 0) << c.path;
        EXPECT_EQ(DcbFileProblem(c.path, result.p1c1),
                  c.problem.empty() ? "" : "\r\nError! DCB file " + c.path + ": " + c.problem);
        // The same as the P1-P2 file and as the file with receivers.
        DcbTable p1p2;
        const DcbReadResult asP1p2 = ReadDcbFiles("", c.path, c.path, p1p2);
        EXPECT_TRUE(asP1p2.p1p2 == c.status && asP1p2.p1p2All == c.status) << c.path;
        EXPECT_EQ(p1p2.loaded, c.status == DcbFileStatus::kRead ? DcbTable::kP1p2Loaded : 0) << c.path;
    }
    EXPECT_EQ(DcbFileProblem("", DcbFileStatus::kNotGiven), "");
}

}  // namespace velarix
