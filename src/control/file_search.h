#pragma once
// Finding the other files of a batch in the input's directory: the lister, the path
// check that sorts the directory into categories, the RINEX batch and one-day searches,
// the navigation search and the receiver-format searches. One FileSearch per session.
#include <string>
#include <vector>

#include "control/classify.h"

namespace velarix {

struct InputKindFlags;

// What a directory entry is, by its name. Observation files are split by naming scheme,
// by Compact RINEX or not and by compressed or not, so that every file of a batch needs
// the same decoding steps as the input that started it.
enum class FileCategory {
    kShortObs,                 // RINEX 2 short name, type o
    kShortObsCompressed,       //   .Z or .gz
    kShortCompact,             // RINEX 2 short name, type d (Compact RINEX)
    kShortCompactCompressed,   //   .Z or .gz
    kLongObs,                  // RINEX 3 long name, rnx observation
    kLongObsCompressed,        //   .Z or .gz
    kLongCompact,              // RINEX 3 long name, crx
    kLongCompactCompressed,    //   .Z or .gz
    kNavigation,               // RINEX 2 type n and RINEX 3 navigation, any compression
    kDcb,                      // CODE DCB files
    kNovatel,
    kScinda,
    kOther,                    // anything else, including names with a bad date
};

FileCategory categoryOf(const InputFileInfo& info);

// Where and around which date the receiver-format searches look.
struct SearchDate {
    std::string dataDirectory;  // ends in '/'
    int year = -1;
    int month = -1;
    int day = -1;
    std::string stationCode;  // "" or "N_A_" when the name carries no station
};

struct ListedFile {
    std::string path;
    InputFileInfo info;
    FileCategory category = FileCategory::kOther;
};

// CODE's bias files of one month in a folder (names in any case), each kind plain, then
// ".Z", then gzip: for the P1-P2 biases "P1P2yymm.DCB" before "P1P2yymm_ALL.DCB" (which
// lists receivers too), and "P1C1yymm.DCB".
struct MonthDcbFiles {
    std::vector<std::string> p1p2;
    std::vector<std::string> p1c1;
};
MonthDcbFiles findDcbFiles(const std::string& dataDirectory, int year, int month);

// Bias-SINEX files in a folder whose long names' period holds the whole day of `dayMjd`
// ("CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz", "COD0OPSFIN_20240010000_01L_01D_DCB.BIA",
// any case, plain or compressed): the shortest period first (the day's own file before
// the month's), then in name order.
std::vector<std::string> findBiasSinexFiles(const std::string& dataDirectory, double dayMjd);

// The navigation files of `day`'s date (from its name) in `dataDirectory`, of every
// station, in the order of FileSearch::searchNavigation.
std::vector<std::string> findNavigationFiles(const std::string& dataDirectory, const InputFileInfo& day,
                                             double nowMjd = processNowMjd());

// How an input path checked out; the values are those the run driver has always used.
enum class PathCheck {
    kFound = 0,
    kNotAFile = -1,     // missing, empty or not a regular file
    kNoDirectory = -2,  // its directory does not exist
};

class FileSearch {
public:
    // `nowMjd` is the reference date for classifying the names (tests fix it).
    explicit FileSearch(double nowMjd = processNowMjd()) : nowMjd_(nowMjd) {}

    // Lists the regular, non-empty, non-hidden files matching `pattern` (directory plus
    // a name with * and ?, case-insensitive), sorted by name. Returns their number.
    static int listFiles(const std::string& pattern, std::vector<std::string>& list);

    // kFound: `path` is a regular non-empty file; its directory's listing is then held
    // here and `path` becomes the input of the searches below.
    [[nodiscard]] PathCheck checkPath(const std::string& path);

    // The input's batch: files of the input's category and of the scope (thisDirectory:
    // no date condition; else day over month over year; none set counts as day), of the
    // input's station when `ownStationOnly` (any case). Copies of one file that differ only
    // in compression suffix or case are listed once (the input, else the first). Returns
    // the number of files; the list is results().
    int search(int thisDay, int thisMonth, int thisYear, int thisDirectory, int ownStationOnly);
    const std::vector<std::string>& results() const { return results_; }

    // The observation files of the input's station and day in the input's category (its
    // sessions), copies listed once as in search(). Returns their number.
    int countOneDayFiles();
    const std::vector<std::string>& oneDayFiles() const { return oneDay_; }

    // The navigation files of the scope around the input's date, matched by the date
    // their names carry: RINEX 2 ".yyn" names, then RINEX 3 names of mixed or GPS
    // navigation data ("..._MN.rnx", "..._GN.rnx"), each plain or compressed. Order:
    // RINEX 2 names before RINEX 3 names, uncompressed files before compressed ones, and
    // within each group merged broadcast files ("brdc", any case) first, then the input's
    // own station, then other stations, each in name order. Copies of one file in other
    // compressions are all listed, so that one that does not expand has a stand-in.
    int searchNavigation(int thisDay, int thisMonth, int thisYear, int thisDirectory, int ownStationOnly);
    const std::vector<std::string>& navigationFiles() const { return navigation_; }

    // Receiver-format searches in `date.dataDirectory`. `processScope` holds the scope
    // bits of RunOptions (broadest wins: directory, year, month, day). `searchText`
    // receives the pattern, a TAB and the date as yyyy-mm-dd. Each listed file goes
    // through the name check of its format; accepted files are returned in `paths` and
    // raise the format's flag in `kinds`. Return the number of accepted files.
    //   SCINDA: yymmdd_hhmmss.scn names (classify() gives kScindaName).
    //   SCINDA processed: names ending in "_tec.dat" that begin with six digits (yymmdd).
    //   ISM: names with the extension "ism". Their date digits are day, month and
    //   two-digit year at the end of the name (ssssddmmyy.ism); the station code of
    //   `date` is put in front when it names a station.
    int searchScinda(int processScope, const SearchDate& date, std::string& searchText,
                     std::vector<std::string>& paths, InputKindFlags& kinds) const;
    int searchScindaPrc(int processScope, const SearchDate& date, std::string& searchText,
                        std::vector<std::string>& paths, InputKindFlags& kinds) const;
    int searchIsm(int processScope, const SearchDate& date, std::string& searchText,
                  std::vector<std::string>& paths, InputKindFlags& kinds) const;

    // Lists the existing "*.cmn" products of `directory` (any case), for the batch loop
    // to check against. Returns their number; the list is existingProducts().
    int listExistingProducts(const std::string& directory);
    const std::vector<std::string>& existingProducts() const { return existingProducts_; }

    const std::vector<ListedFile>& listing() const { return listing_; }
    const InputFileInfo& input() const { return input_; }

private:
    double nowMjd_;
    bool checked_ = false;
    std::string inputPath_;
    std::string dataDirectory_;
    InputFileInfo input_;
    std::vector<ListedFile> listing_;
    std::vector<std::string> results_;
    std::vector<std::string> oneDay_;
    std::vector<std::string> navigation_;
    std::vector<std::string> existingProducts_;
};

}  // namespace velarix
