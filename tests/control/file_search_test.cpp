#include "control/file_search.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "gnss/time.h"
#include "test_support.h"
#include "ui/run_options.h"

namespace {

const double kNow2026 = MjdFromCivil(2026, 3, 15, 12, 0, 0.0);

// Writes each name as a small non-empty file.
void writeAll(const TempDir& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) dir.write(name, "x\n");
}

std::vector<std::string> namesOf(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& path : paths) names.push_back(std::filesystem::path(path).filename().string());
    return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(FileSearch, ListerSkipsEmptyHiddenAndDirectoriesAndIgnoresCase) {
    TempDir dir;
    writeAll(dir, {"b.cmn", "A.Cmn", "c.CMN", ".hidden.cmn", "x.cmnx", "d.txt"});
    dir.write("empty.cmn", "");
    std::filesystem::create_directory(dir.path() + "sub.cmn");
    dir.write("sub.cmn/inner.cmn", "x");  // not searched: the lister does not descend

    std::vector<std::string> list = {"left over"};
    EXPECT_EQ(FileSearch::listFiles(dir.path() + "*.cmn", list), 3);
    EXPECT_EQ(list, (Names{dir.path() + "A.Cmn", dir.path() + "b.cmn", dir.path() + "c.CMN"}));

    EXPECT_EQ(FileSearch::listFiles(dir.path() + "?.TXT", list), 1);
    EXPECT_EQ(FileSearch::listFiles(dir.path() + "nothing*", list), 0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(FileSearch::listFiles(dir.path() + "missing/*", list), 0);

    FileSearch search(kNow2026);
    EXPECT_EQ(search.listExistingProducts(dir.path()), 3);
    EXPECT_EQ(namesOf(search.existingProducts()), (Names{"A.Cmn", "b.cmn", "c.CMN"}));
}

TEST(FileSearch, CheckPathResults) {
    TempDir dir;
    writeAll(dir, {"bjfs0010.20o", "brdc0010.20n", "notes.txt"});
    dir.write("empty0010.20o", "");
    std::filesystem::create_directory(dir.path() + "bjfs0020.20o");

    FileSearch search(kNow2026);
    EXPECT_EQ(search.checkPath(dir.path() + "nowhere/bjfs0010.20o"), -2);
    EXPECT_EQ(search.checkPath(dir.path() + "bjfs0030.20o"), -1);   // missing
    EXPECT_EQ(search.checkPath(dir.path() + "empty0010.20o"), -1);  // empty
    EXPECT_EQ(search.checkPath(dir.path() + "bjfs0020.20o"), -1);   // a directory
    EXPECT_TRUE(search.listing().empty());
    EXPECT_EQ(search.search(0, 0, 0, 1, 0), 0);  // nothing searched after a failed check

    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0010.20o"), 0);
    ASSERT_EQ(search.listing().size(), 3u);
    EXPECT_EQ(search.listing()[0].category, FileCategory::kShortObs);
    EXPECT_EQ(search.listing()[1].category, FileCategory::kNavigation);
    EXPECT_EQ(search.listing()[2].category, FileCategory::kOther);
    EXPECT_EQ(search.input().stationCode, "bjfs");
}

TEST(FileSearch, RinexBatchByScopeAndStation) {
    TempDir dir;
    writeAll(dir, {"bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o", "bjfs0320.20o", "abcd0010.20o",
                   "bjfs0010.21o",      // another year
                   "bjfs0050.20o.Z",    // another category (compressed)
                   "bjfs0060.20d",      // another category (Compact RINEX)
                   "brdc0010.20n"});
    FileSearch search(kNow2026);
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0010.20o"), 0);

    EXPECT_EQ(search.search(0, 1, 0, 0, 1), 3);  // January, own station
    EXPECT_EQ(namesOf(search.results()), (Names{"bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o"}));
    EXPECT_EQ(search.search(0, 1, 0, 0, 0), 4);  // January, all stations
    EXPECT_EQ(namesOf(search.results()), (Names{"abcd0010.20o", "bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o"}));
    EXPECT_EQ(search.countOneDayFiles(), 1);
    EXPECT_EQ(search.oneDayFiles(), (Names{dir.path() + "bjfs0010.20o"}));

    EXPECT_EQ(search.search(1, 0, 0, 0, 1), 1);
    EXPECT_EQ(search.search(1, 0, 0, 0, 0), 2);
    EXPECT_EQ(search.search(0, 0, 1, 0, 1), 4);  // 2020, own station
    EXPECT_EQ(search.search(0, 0, 0, 1, 1), 5);  // whole directory adds 2021
    EXPECT_EQ(search.search(0, 0, 0, 1, 0), 6);
    EXPECT_EQ(search.search(1, 1, 1, 0, 1), 1);  // the day wins over month and year
    EXPECT_EQ(search.search(0, 0, 0, 0, 1), 1);  // no scope: the day
    EXPECT_EQ(search.search(1, 0, 0, 1, 1), 5);  // the directory removes the date condition
}

TEST(FileSearch, OwnStationIgnoresCaseAndCompressedInputsFindTheirKind) {
    TempDir dir;
    writeAll(dir, {"bjfs0010.20o.Z", "BJFS0020.20O.Z", "bjfs0030.20o.gz", "bjfs0040.20o", "abcd0010.20o.Z",
                   "bjfs0050.20d.Z", "bjfs0060.20d"});
    FileSearch search(kNow2026);
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0010.20o.Z"), 0);
    EXPECT_EQ(search.search(0, 1, 0, 0, 1), 3);
    EXPECT_EQ(namesOf(search.results()), (Names{"BJFS0020.20O.Z", "bjfs0010.20o.Z", "bjfs0030.20o.gz"}));

    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0060.20d"), 0);
    EXPECT_EQ(search.search(0, 1, 0, 0, 1), 1);
    EXPECT_EQ(namesOf(search.results()), (Names{"bjfs0060.20d"}));
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0050.20d.Z"), 0);
    EXPECT_EQ(search.search(0, 1, 0, 0, 1), 1);
    EXPECT_EQ(namesOf(search.results()), (Names{"bjfs0050.20d.Z"}));
}

TEST(FileSearch, OneDayListGathersSessionsAndListsCopiesOnce) {
    TempDir dir;
    writeAll(dir, {"bjfs0010.20o", "bjfs001a.20o", "bjfs001b10.20o", "bjfs_001013.20o", "BJFS001C.20O",
                   "bjfs001d.20o.Z",  // compressed: another category
                   "bjfs0010.20d",    // Compact RINEX twin of the daily file: another category
                   "abcd001a.20o", "bjfs0020.20o"});
    FileSearch search(kNow2026);
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs001a.20o"), 0);
    EXPECT_EQ(search.countOneDayFiles(), 5);
    EXPECT_EQ(namesOf(search.oneDayFiles()),
              (Names{"BJFS001C.20O", "bjfs0010.20o", "bjfs001a.20o", "bjfs001b10.20o", "bjfs_001013.20o"}));
    // Every session file of the day is its own batch entry (each job reads the whole day).
    EXPECT_EQ(search.search(1, 0, 0, 0, 1), 5);

    // The same file as .Z and as .gz decodes to one name: listed once, the input kept.
    TempDir packed;
    writeAll(packed, {"bjfs0010.20o.Z", "bjfs0010.20o.gz", "bjfs001a.20o.gz", "bjfs001A.20O.GZ", "bjfs0020.20o.Z"});
    ASSERT_EQ(search.checkPath(packed.path() + "bjfs0010.20o.gz"), 0);
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
    ASSERT_EQ(search.checkPath(dir.path() + "bjfs0010.20o"), 0);
    EXPECT_EQ(search.searchNavigation(1, 0, 0, 0, 0), 5);
    // Plain first; merged broadcast files, then the station's own, then others.
    EXPECT_EQ(namesOf(search.navigationFiles()),
              (Names{"brdc0010.20n", "BRDC00IGS_R_20200010000_01D_MN.rnx.gz", "brdc001a.20n.gz", "bjfs0010.20n.Z",
                     "abcd0010.20n.gz"}));
    EXPECT_EQ(search.searchNavigation(1, 0, 0, 0, 1), 1);
    EXPECT_EQ(namesOf(search.navigationFiles()), (Names{"bjfs0010.20n.Z"}));
    EXPECT_EQ(search.searchNavigation(0, 1, 0, 0, 0), 7);

    // Only compressed copies: they are found.
    TempDir packed;
    writeAll(packed, {"bjfs0010.20o", "brdc0010.20n.Z", "brdc0020.20n.Z"});
    ASSERT_EQ(search.checkPath(packed.path() + "bjfs0010.20o"), 0);
    EXPECT_EQ(search.searchNavigation(1, 0, 0, 0, 0), 1);
    EXPECT_EQ(search.navigationFiles(), (Names{packed.path() + "brdc0010.20n.Z"}));
}

TEST(FileSearch, ScindaSearchesByScope) {
    TempDir dir;
    writeAll(dir, {"140101_000000.scn", "140115_120000.SCN", "140201_000000.scn", "130101_000000.scn",
                   "1401xx_000000.scn",  // matches the pattern, not a SCINDA name
                   "140101_000000.nvd", "140101_tec.dat", "140102_TEC.DAT", "140201_tec.dat", "notes_tec.dat"});
    dir.write("140116_000000.scn", "");
    FileSearch search(kNow2026);
    const SearchDate date{dir.path(), 2014, 1, 1, "N_A_"};
    std::string text;
    std::vector<std::string> paths;

    InputKindFlags kinds;
    EXPECT_EQ(search.searchScinda(kThisMonth, date, text, paths, kinds), 2);
    EXPECT_EQ(namesOf(paths), (Names{"140101_000000.scn", "140115_120000.SCN"}));
    EXPECT_EQ(text, dir.path() + "1401*.scn\t2014-01-01");
    EXPECT_EQ(kinds.scinda, 1);
    EXPECT_EQ(kinds.scindaPrc, 0);

    EXPECT_EQ(search.searchScinda(kThisDayOnly, date, text, paths, kinds), 1);
    EXPECT_EQ(text, dir.path() + "140101*.scn\t2014-01-01");
    EXPECT_EQ(search.searchScinda(kThisYear, date, text, paths, kinds), 3);
    EXPECT_EQ(search.searchScinda(kThisDirectory | kThisMonth, date, text, paths, kinds), 4);
    EXPECT_EQ(text, dir.path() + "*.scn\t2014-01-01");

    InputKindFlags none;
    EXPECT_EQ(search.searchScinda(kThisDayOnly, SearchDate{dir.path(), 2015, 1, 1, ""}, text, paths, none), 0);
    EXPECT_EQ(none.scinda, 0);

    EXPECT_EQ(search.searchScindaPrc(kThisMonth, date, text, paths, kinds), 2);
    EXPECT_EQ(namesOf(paths), (Names{"140101_tec.dat", "140102_TEC.DAT"}));
    EXPECT_EQ(text, dir.path() + "1401*_tec.dat\t2014-01-01");
    EXPECT_EQ(kinds.scindaPrc, 1);
    EXPECT_EQ(search.searchScindaPrc(kThisDirectory, date, text, paths, kinds), 3);
}

TEST(FileSearch, IsmSearchWithAndWithoutStation) {
    TempDir dir;
    writeAll(dir, {"ABCD010120.ism", "ABCD150120.ISM", "ABCD010220.ism", "WXYZ010120.ism", "ABCD010119.ism",
                   "ABCD010120.txt"});
    FileSearch search(kNow2026);
    std::string text;
    std::vector<std::string> paths;
    InputKindFlags kinds;
    const SearchDate own{dir.path(), 2020, 1, 1, "ABCD"};
    EXPECT_EQ(search.searchIsm(kThisDayOnly, own, text, paths, kinds), 1);
    EXPECT_EQ(text, dir.path() + "ABCD010120.ism\t2020-01-01");
    EXPECT_EQ(kinds.ism, 1);
    EXPECT_EQ(search.searchIsm(kThisMonth, own, text, paths, kinds), 2);
    EXPECT_EQ(search.searchIsm(kThisYear, own, text, paths, kinds), 3);
    EXPECT_EQ(search.searchIsm(kThisDirectory, own, text, paths, kinds), 4);

    const SearchDate any{dir.path(), 2020, 1, 1, "N_A_"};
    EXPECT_EQ(search.searchIsm(kThisDayOnly, any, text, paths, kinds), 2);
    EXPECT_EQ(text, dir.path() + "*010120.ism\t2020-01-01");
    EXPECT_EQ(search.searchIsm(kThisDirectory, any, text, paths, kinds), 5);
}

TEST(VelarixTools, ClassifyPrintsEveryField) {
    const std::string command = std::string(VELARIX_TOOLS_BIN) +
                                " classify /data/bjfs0010.20o.gz ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz readme 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::string output;
    std::array<char, 4096> buffer{};
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe.get())) output.append(buffer.data(), n);
    const int status = pclose(pipe.release());
    EXPECT_EQ(WEXITSTATUS(status), 0);

    const std::string first =
        "path=/data/bjfs0010.20o.gz\nnameForm=1\nisRinexObs=1\nisNavigation=0\nspareFlag=0\nisHatanaka=0\n"
        "isCompressedZ=1\nisGzip=1\nisDcb=0\nkind=1\ndirectory=/data/\nextension=20o.gz\nfileName=bjfs0010.20o.gz\n"
        "nameLength=15\nstationCode=bjfs\nyear=2020\nmonth=1\nday=1\nhour=0\nminute=0\nseconds=0.000\n"
        "dayOfYear=1\nnameValid=1\n\n";
    EXPECT_EQ(output.substr(0, first.size()), first);
    EXPECT_NE(output.find("\npath=ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz\nnameForm=5\n"), std::string::npos);
    EXPECT_NE(output.find("\nkind=5\n"), std::string::npos);
    EXPECT_NE(output.find("\ndayOfYear=177\n"), std::string::npos);
    EXPECT_NE(output.find("\n\npath=readme\nnameForm=-1\n"), std::string::npos);
    EXPECT_NE(output.find("\nkind=19\n"), std::string::npos);

    const std::string usage = std::string(VELARIX_TOOLS_BIN) + " classify 2>/dev/null >/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(usage.c_str())), 2);
}

TEST(FileSearch, RealStationDayFolders) {
    const std::string root = sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "shared GNSS data not present";
    FileSearch search(kNow2026);

    ASSERT_EQ(search.checkPath(root + "set1_bjfs_2020_001/bjfs0010.20o"), 0);
    EXPECT_EQ(search.countOneDayFiles(), 1);
    EXPECT_EQ(search.searchNavigation(1, 0, 0, 0, 0), 1);
    EXPECT_EQ(namesOf(search.navigationFiles()), (Names{"brdc0010.20n"}));
    Names dcb;
    for (const ListedFile& file : search.listing()) {
        if (file.category == FileCategory::kDcb) dcb.push_back(file.info.fileName);
    }
    EXPECT_EQ(dcb, (Names{"P1C12001.DCB.Z", "P1P22001_ALL.DCB.Z"}));

    // Compact RINEX in gzip; the GLONASS navigation file (.24g) is not offered.
    ASSERT_EQ(search.checkPath(root + "set6_bele_dgar_2024_010/bele0100.24d.gz"), 0);
    EXPECT_EQ(search.countOneDayFiles(), 1);
    EXPECT_EQ(search.search(0, 0, 0, 1, 0), 1);
    EXPECT_EQ(search.searchNavigation(1, 0, 0, 0, 0), 2);
    EXPECT_EQ(namesOf(search.navigationFiles()), (Names{"BRDC00IGS_R_20240100000_01D_MN.rnx.gz", "brdc0100.24n.gz"}));

    // RINEX 3: the station's own navigation file comes before another station's.
    ASSERT_EQ(search.checkPath(root + "set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz"), 0);
    EXPECT_EQ(search.input().kind, kLongObservationName);
    EXPECT_EQ(search.countOneDayFiles(), 1);
    EXPECT_EQ(search.searchNavigation(1, 0, 0, 0, 0), 2);
    EXPECT_EQ(namesOf(search.navigationFiles()),
              (Names{"ESBC00DNK_R_20201770000_01D_MN.rnx.gz", "MOJN00DNK_R_20201770000_01D_MN.rnx.gz"}));
}
