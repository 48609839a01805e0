#include "control/file_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "geodesy/time.h"
#include "test_support.h"
#include "ui/run_options.h"

namespace velarix {

namespace {

using Names = std::vector<std::string>;

const double kNow2026 = MjdFromCivil(2026, 3, 15, 12, 0, 0.0);

// Writes each name as a small non-empty file.
void writeAll(const TempDir& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) dir.write(name, "x\n");
}

Names namesOf(const Names& paths) {
    Names names;
    for (const std::string& path : paths) names.push_back(std::filesystem::path(path).filename().string());
    return names;
}

}  // namespace

TEST(FileSearch, ListerAndPathCheckSkipEmptyHiddenAndDirectories) {
    TempDir dir;
    writeAll(dir, {"b.cmn", "A.Cmn", "c.CMN", ".hidden.cmn", "x.cmnx", "bjfs0010.20o", "brdc0010.20n"});
    dir.write("empty.cmn", "");
    dir.write("sub.cmn/inner.cmn", "x");  // the lister does not descend
    Names list = {"left over"};
    EXPECT_EQ(FileSearch::listFiles(dir.path() + "*.cmn", list), 3);
    EXPECT_EQ(list, (Names{dir.path() + "A.Cmn", dir.path() + "b.cmn", dir.path() + "c.CMN"}));
    EXPECT_EQ(FileSearch::listFiles(dir.path() + "?.CMN", list), 3);
    EXPECT_EQ(FileSearch::listFiles(dir.path() + "missing/*", list), 0);
    EXPECT_TRUE(list.empty());

    FileSearch search(kNow2026);
    EXPECT_EQ(search.checkPath(dir.path() + "nowhere/bjfs0010.20o"), PathCheck::kNoDirectory);
    for (const char* bad : {"bjfs0030.20o", "empty.cmn", "sub.cmn"}) {
        EXPECT_EQ(search.checkPath(dir.path() + bad), PathCheck::kNotAFile);
    }
    EXPECT_EQ(search.search(0, 0, 0, 1, 0), 0);  // nothing searched after a failed check
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0010.20o"), PathCheck::kFound);
    ASSERT_EQ(search.listing().size(), 6u);
    EXPECT_EQ(search.listing()[2].category, FileCategory::kShortObs);
    EXPECT_EQ(search.listing()[3].category, FileCategory::kNavigation);
    EXPECT_EQ(search.listing()[4].category, FileCategory::kOther);
}

TEST(FileSearch, RinexBatchByScopeStationAndCategory) {
    TempDir dir;
    writeAll(dir, {"bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o", "bjfs0320.20o", "abcd0010.20o",
                   "bjfs0010.21o", "BJFS0050.20O.Z", "bjfs0070.20d.Z", "bjfs0080.20d", "brdc0010.20n"});
    FileSearch search(kNow2026);
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0010.20o"), PathCheck::kFound);
    EXPECT_EQ(search.search(0, 1, 0, 0, 0), 4);  // January, all stations
    EXPECT_EQ(namesOf(search.results()), (Names{"abcd0010.20o", "bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o"}));
    EXPECT_EQ(search.search(0, 1, 0, 0, 1), 3);  // January, own station
    EXPECT_EQ(search.search(1, 0, 0, 0, 0), 2);
    EXPECT_EQ(search.search(0, 0, 1, 0, 1), 4);  // 2020, own station
    EXPECT_EQ(search.search(0, 0, 0, 1, 0), 6);  // the whole directory adds 2021
    EXPECT_EQ(search.search(1, 1, 1, 0, 1), 1);  // the day wins over month and year
    EXPECT_EQ(search.search(0, 0, 0, 0, 1), 1);  // no scope: the day
    EXPECT_EQ(search.search(1, 0, 0, 1, 1), 5);  // the directory removes the date condition

    // Compact RINEX inputs find their own kind.
    for (const char* input : {"bjfs0080.20d", "bjfs0070.20d.Z"}) {
        ASSERT_EQ(search.checkPath(dir.path() + input), PathCheck::kFound);
        EXPECT_EQ(search.search(0, 1, 0, 0, 1), 1);
        EXPECT_EQ(namesOf(search.results()), Names{input});
    }
}

TEST(FileSearch, OneDayListGathersSessionsAndListsCopiesOnce) {
    TempDir dir;
    writeAll(dir, {"bjfs0010.20o", "bjfs001a.20o", "bjfs001b10.20o", "bjfs_001013.20o", "BJFS001C.20O",
                   "bjfs001d.20o.Z", "bjfs0010.20d", "abcd001a.20o", "bjfs0020.20o"});
    FileSearch search(kNow2026);
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs001a.20o"), PathCheck::kFound);
    EXPECT_EQ(search.countOneDayFiles(), 5);
    EXPECT_EQ(namesOf(search.oneDayFiles()),
              (Names{"BJFS001C.20O", "bjfs0010.20o", "bjfs001a.20o", "bjfs001b10.20o", "bjfs_001013.20o"}));
    EXPECT_EQ(search.search(1, 0, 0, 0, 1), 5);  // every session is its own batch entry

    // The same file as .Z and as .gz, or in another case, decodes to one name: listed
    // once, the input kept.
    TempDir packed;
    writeAll(packed, {"bjfs0010.20o.Z", "bjfs0010.20o.gz", "bjfs001a.20o.gz", "bjfs001A.20O.GZ", "bjfs0020.20o.Z"});
    ASSERT_EQ(search.checkPath(packed.path() + "bjfs0010.20o.gz"), PathCheck::kFound);
    EXPECT_EQ(search.countOneDayFiles(), 2);
    EXPECT_EQ(namesOf(search.oneDayFiles()), (Names{"bjfs0010.20o.gz", "bjfs001A.20O.GZ"}));
    EXPECT_EQ(search.search(0, 1, 0, 0, 1), 3);
    EXPECT_EQ(namesOf(search.results()), (Names{"bjfs0010.20o.gz", "bjfs001A.20O.GZ", "bjfs0020.20o.Z"}));
}

TEST(FileSearch, NavigationFilesOfTheDay) {
    TempDir dir;
    writeAll(dir, {"bjfs0010.20o", "abcd0010.20n.gz", "bjfs0010.20n.Z", "brdc0010.20n", "brdc0010.20n.Z",
                   "brdc0020.20n", "brdc0010.19n", "brdc0010.20g", "brdc001a.20n.gz",
                   "BRDC00IGS_R_20200010000_01D_MN.rnx.gz", "BRDC00IGS_R_20200020000_01D_MN.rnx.gz"});
    FileSearch search(kNow2026);
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0010.20o"), PathCheck::kFound);
    EXPECT_EQ(search.searchNavigation(1, 0, 0, 0, 0), 6);
    // RINEX 2 names first; plain first; merged broadcast files, then the station's own,
    // then others. A compressed copy stays: it stands in when another does not expand.
    EXPECT_EQ(namesOf(search.navigationFiles()),
              (Names{"brdc0010.20n", "brdc0010.20n.Z", "brdc001a.20n.gz", "bjfs0010.20n.Z", "abcd0010.20n.gz",
                     "BRDC00IGS_R_20200010000_01D_MN.rnx.gz"}));
    EXPECT_EQ(search.searchNavigation(1, 0, 0, 0, 1), 1);
    EXPECT_EQ(namesOf(search.navigationFiles()), (Names{"bjfs0010.20n.Z"}));
    EXPECT_EQ(search.searchNavigation(0, 1, 0, 0, 0), 8);
}

TEST(FileSearch, TheJobsNavigationAndDcbFilesAreMatchedByDateAndKind) {
    TempDir dir;
    // "*001*.20n*" also matches day 100 and the session 1 of day 100; only day 1 is taken.
    writeAll(dir, {"xxxx1001.20n", "abcd1000.20n", "ABCD0010.20N", "brdc0010.20n.gz",
                   "BRDC00IGS_R_20200010000_01D_GN.rnx", "BRDC00IGS_R_20200010000_01D_RN.rnx",
                   "BRDC00IGS_R_20201000000_01D_MN.rnx.gz", "P1P22001.DCB.gz", "p1p22001.dcb", "P1P22001_ALL.DCB.Z",
                   "P1P22001.DCB.bak", "P1P22002.DCB", "P1C12001.DCB.Z", "P1P22001_ALL.DCB"});
    dir.write("P1C12001.DCB", "");  // empty: not a file to read
    const InputFileInfo day = classify(dir.path() + "bjfs0010.20o", kNow2026);
    EXPECT_EQ(namesOf(findNavigationFiles(dir.path(), day, kNow2026)),
              (Names{"ABCD0010.20N", "brdc0010.20n.gz", "BRDC00IGS_R_20200010000_01D_GN.rnx"}));
    EXPECT_TRUE(findNavigationFiles(dir.path(), classify(dir.path() + "bjfs0020.20o", kNow2026), kNow2026).empty());

    const MonthDcbFiles dcb = findDcbFiles(dir.path(), 2020, 1);
    EXPECT_EQ(namesOf(dcb.p1p2), (Names{"p1p22001.dcb", "P1P22001.DCB.gz", "P1P22001_ALL.DCB", "P1P22001_ALL.DCB.Z"}));
    EXPECT_EQ(namesOf(dcb.p1c1), (Names{"P1C12001.DCB.Z"}));
    EXPECT_TRUE(findDcbFiles(dir.path(), 2021, 1).p1p2.empty());
}

TEST(FileSearch, ScindaAndIsmSearchesByScope) {
    TempDir dir;
    writeAll(dir, {"140101_000000.scn", "140115_120000.SCN", "140201_000000.scn", "130101_000000.scn",
                   "1401xx_000000.scn",  // matches the pattern, not a SCINDA name
                   "140101_tec.dat", "140102_TEC.DAT", "140201_tec.dat", "ABCD010114.ism", "ABCD150114.ISM",
                   "WXYZ010114.ism", "ABCD010113.ism"});
    dir.write("140116_000000.scn", "");
    const FileSearch search;
    std::string text;
    Names paths;
    InputKindFlags kinds;
    EXPECT_EQ(search.searchScinda(kThisMonth, {dir.path(), 2014, 1, 1, "N_A_"}, text, paths, kinds), 2);
    EXPECT_EQ(namesOf(paths), (Names{"140101_000000.scn", "140115_120000.SCN"}));
    EXPECT_EQ(text, dir.path() + "1401*.scn\t2014-01-01");
    EXPECT_EQ(search.searchScinda(kThisDirectory | kThisDayOnly, {dir.path(), 2014, 1, 1, ""}, text, paths, kinds), 4);
    EXPECT_EQ(search.searchScindaPrc(kThisMonth, {dir.path(), 2014, 1, 1, ""}, text, paths, kinds), 2);
    EXPECT_EQ(text, dir.path() + "1401*_tec.dat\t2014-01-01");
    EXPECT_EQ(search.searchIsm(kThisMonth, {dir.path(), 2014, 1, 1, "ABCD"}, text, paths, kinds), 2);
    EXPECT_EQ(text, dir.path() + "ABCD*0114.ism\t2014-01-01");
    EXPECT_EQ(search.searchIsm(kThisDayOnly, {dir.path(), 2014, 1, 1, "N_A_"}, text, paths, kinds), 2);
    EXPECT_EQ(text, dir.path() + "*010114.ism\t2014-01-01");
    EXPECT_EQ(kinds.scinda + kinds.scindaPrc + kinds.ism, 3);
    EXPECT_EQ(search.searchScinda(kThisDayOnly, {dir.path(), 2015, 1, 1, ""}, text, paths, kinds), 0);
}

}  // namespace velarix
