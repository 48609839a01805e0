#include "control/file_search.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "gnss/bias/dcb_names.h"
#include "gnss/day_job.h"
#include "platform/dir_search.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "ui/run_options.h"

namespace velarix {

namespace {

enum class DateScope { kDirectory, kYear, kMonth, kDay };

// RINEX searches: the most specific scope that is set wins.
DateScope rinexScope(int thisDay, int thisMonth, int thisYear, int thisDirectory) {
    if (thisDirectory != 0) return DateScope::kDirectory;
    if (thisDay != 0) return DateScope::kDay;
    if (thisMonth != 0) return DateScope::kMonth;
    if (thisYear != 0) return DateScope::kYear;
    return DateScope::kDay;
}

// Receiver-format searches test the scope bits from the broadest down.
DateScope receiverScope(int processScope) {
    if ((processScope & kThisDirectory) != 0) return DateScope::kDirectory;
    if ((processScope & kThisYear) != 0) return DateScope::kYear;
    if ((processScope & kThisMonth) != 0) return DateScope::kMonth;
    return DateScope::kDay;
}

bool inScope(const InputFileInfo& file, const InputFileInfo& input, DateScope scope) {
    switch (scope) {
        case DateScope::kDirectory: return true;
        case DateScope::kYear: return file.year == input.year;
        case DateScope::kMonth: return file.year == input.year && file.month == input.month;
        case DateScope::kDay:
            return file.year == input.year && file.month == input.month && file.day == input.day;
    }
    return false;
}

// Copies of one file that differ only in compression suffix or in case decode to the
// same output name; they are one file for the searches.
std::string copyKey(const ListedFile& file) {
    std::string key = toLower(file.path);
    if (file.info.isGzip == 1) {
        key.resize(key.size() - 3);
    } else if (file.info.isCompressedZ == 1) {
        key.resize(key.size() - 2);
    }
    return key;
}

// Paths of `files` in order, one per copy key; `preferredPath` replaces its copies.
std::vector<std::string> pathsOnce(const std::vector<const ListedFile*>& files, const std::string& preferredPath) {
    std::vector<std::string> paths;
    std::map<std::string, size_t> indexOfKey;
    for (const ListedFile* file : files) {
        const auto [it, inserted] = indexOfKey.emplace(copyKey(*file), paths.size());
        if (inserted) {
            paths.push_back(file->path);
        } else if (file->path == preferredPath) {
            paths[it->second] = file->path;
        }
    }
    return paths;
}

std::vector<const ListedFile*> selectFiles(const std::vector<ListedFile>& listing, FileCategory category,
                                           const InputFileInfo& input, DateScope scope, bool ownStationOnly) {
    std::vector<const ListedFile*> selected;
    for (const ListedFile& file : listing) {
        if (file.category != category || !inScope(file.info, input, scope)) continue;
        if (ownStationOnly && !equalsNoCase(file.info.stationCode, input.stationCode)) continue;
        selected.push_back(&file);
    }
    return selected;
}

// The date part of the receiver-format patterns: "", yy, yymm or yymmdd.
std::string yearFirstDigits(DateScope scope, int year, int month, int day) {
    switch (scope) {
        case DateScope::kDirectory: return {};
        case DateScope::kYear: return strfmt("%02d", year % 100);
        case DateScope::kMonth: return strfmt("%02d%02d", year % 100, month);
        case DateScope::kDay: return strfmt("%02d%02d%02d", year % 100, month, day);
    }
    return {};
}

// A RINEX 3 navigation name of mixed ("MN") or GPS ("GN") data: both give GPS orbits.
bool isMixedOrGpsNavigation(const std::string& fileName) {
    constexpr size_t kDataType = 28;  // "SSSSMRCCC_R_YYYYDDDHHMM_01D_MN.rnx"
    return fileName.size() > kDataType + 1 &&
           (fileName[kDataType] == 'M' || fileName[kDataType] == 'm' || fileName[kDataType] == 'G' ||
            fileName[kDataType] == 'g');
}

// The navigation files of `listing` in the scope around `input`'s date, in the order
// searchNavigation gives.
std::vector<std::string> navigationFilesOf(const std::vector<ListedFile>& listing, const InputFileInfo& input,
                                           DateScope scope, bool ownStationOnly) {
    std::vector<const ListedFile*> files = selectFiles(listing, FileCategory::kNavigation, input, scope, ownStationOnly);
    std::erase_if(files, [](const ListedFile* file) {
        return file->info.kind == kLongNavigationName && !isMixedOrGpsNavigation(file->info.fileName);
    });
    const auto rank = [&input](const ListedFile* file) {
        const int stationRank = equalsNoCase(file->info.stationCode, "brdc")           ? 0
                                : equalsNoCase(file->info.stationCode, input.stationCode) ? 1
                                                                                          : 2;
        return (file->info.kind == kLongNavigationName ? 6 : 0) + (file->info.isCompressedZ == 1 ? 3 : 0) +
               stationRank;
    };
    std::stable_sort(files.begin(), files.end(),
                     [&rank](const ListedFile* a, const ListedFile* b) { return rank(a) < rank(b); });
    std::vector<std::string> paths;
    for (const ListedFile* file : files) paths.push_back(file->path);
    return paths;
}

using NameCheck = bool (*)(const std::string& path, double nowMjd);

// Lists `pattern`, keeps what `accepts` takes, raises `flag` when any was kept.
int listAccepted(const std::string& pattern, const SearchDate& date, NameCheck accepts, double nowMjd, int& flag,
                 std::string& searchText, std::vector<std::string>& paths) {
    searchText = strfmt("%s\t%04d-%02d-%02d", pattern.c_str(), date.year, date.month, date.day);
    std::vector<std::string> listed;
    FileSearch::listFiles(pattern, listed);
    paths.clear();
    for (const std::string& path : listed) {
        if (accepts(path, nowMjd)) paths.push_back(path);
    }
    if (!paths.empty()) flag = 1;
    return static_cast<int>(paths.size());
}

bool isScindaName(const std::string& path, double nowMjd) {
    return classify(path, nowMjd).kind == kScindaName;
}

bool isScindaPrcName(const std::string& path, double /*nowMjd*/) {
    const std::string name = fileNameOf(path);
    return endsWithNoCase(name, "_tec.dat") && name.size() >= 6 + 8 &&
           std::all_of(name.begin(), name.begin() + 6, [](char c) { return c >= '0' && c <= '9'; });
}

bool isIsmName(const std::string& path, double nowMjd) { return classify(path, nowMjd).extension == "ism"; }

// The files of `directory` named `name`, `name`.Z or `name`.gz (any case), in that order.
std::vector<std::string> plainOrCompressed(const std::string& directory, const std::string& name) {
    std::vector<std::string> listed;
    FileSearch::listFiles(directory + name + "*", listed);
    std::vector<std::string> found;
    for (const char* suffix : {"", ".z", ".gz"}) {
        for (const std::string& path : listed) {
            if (equalsNoCase(fileNameOf(path), name + suffix)) found.push_back(path);
        }
    }
    return found;
}

}  // namespace

FileCategory categoryOf(const InputFileInfo& info) {
    switch (info.kind) {
        case kShortSessionName:
        case kShortHourlyName:
        case kShortSubHourlyName:
        case kShortUnderscoreName:
        case kLongObservationName: break;
        case kLongNavigationName: return FileCategory::kNavigation;
        case kDcbName: return FileCategory::kDcb;
        case kNovatelName: return FileCategory::kNovatel;
        case kScindaName: return FileCategory::kScinda;
        default: return FileCategory::kOther;
    }
    if (info.isNavigation == 1) return FileCategory::kNavigation;
    const bool longName = info.kind == kLongObservationName;
    const bool compressed = info.isCompressedZ == 1;
    if (info.isHatanaka == 1) {
        if (longName) return compressed ? FileCategory::kLongCompactCompressed : FileCategory::kLongCompact;
        return compressed ? FileCategory::kShortCompactCompressed : FileCategory::kShortCompact;
    }
    if (longName) return compressed ? FileCategory::kLongObsCompressed : FileCategory::kLongObs;
    return compressed ? FileCategory::kShortObsCompressed : FileCategory::kShortObs;
}

int FileSearch::listFiles(const std::string& pattern, std::vector<std::string>& list) {
    list.clear();
    for (const DirEntry& entry : findEntries(pattern)) {
        // A name of one character cannot be a data file; "." and ".." are hidden.
        if (entry.name.size() < 2 || entry.isDirectory || entry.isHidden || entry.size == 0) continue;
        list.push_back(entry.path);
    }
    return static_cast<int>(list.size());
}

PathCheck FileSearch::checkPath(const std::string& path) {
    checked_ = false;
    listing_.clear();
    results_.clear();
    oneDay_.clear();
    navigation_.clear();
    inputPath_ = path;
    dataDirectory_ = directoryOf(path);

    struct stat info {};
    const std::string directory = dataDirectory_.empty() ? std::string(".") : dataDirectory_;
    if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return PathCheck::kNoDirectory;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) return PathCheck::kNotAFile;

    input_ = classify(path, nowMjd_);
    std::vector<std::string> names;
    listFiles(dataDirectory_ + "*", names);
    listing_.reserve(names.size());
    for (const std::string& name : names) {
        ListedFile file;
        file.path = name;
        file.info = classify(name, nowMjd_);
        file.category = categoryOf(file.info);
        listing_.push_back(std::move(file));
    }
    checked_ = true;
    return PathCheck::kFound;
}

int FileSearch::search(int thisDay, int thisMonth, int thisYear, int thisDirectory, int ownStationOnly) {
    results_.clear();
    const FileCategory category = categoryOf(input_);
    if (!checked_ || category == FileCategory::kOther) return 0;
    const DateScope scope = rinexScope(thisDay, thisMonth, thisYear, thisDirectory);
    results_ = pathsOnce(selectFiles(listing_, category, input_, scope, ownStationOnly != 0), inputPath_);
    return static_cast<int>(results_.size());
}

int FileSearch::countOneDayFiles() {
    oneDay_.clear();
    const FileCategory category = categoryOf(input_);
    if (!checked_ || category == FileCategory::kOther) return 0;
    oneDay_ = pathsOnce(selectFiles(listing_, category, input_, DateScope::kDay, true), inputPath_);
    return static_cast<int>(oneDay_.size());
}

int FileSearch::searchNavigation(int thisDay, int thisMonth, int thisYear, int thisDirectory, int ownStationOnly) {
    navigation_.clear();
    if (!checked_ || input_.year < 0) return 0;
    const DateScope scope = rinexScope(thisDay, thisMonth, thisYear, thisDirectory);
    navigation_ = navigationFilesOf(listing_, input_, scope, ownStationOnly != 0);
    return static_cast<int>(navigation_.size());
}

std::vector<std::string> findNavigationFiles(const std::string& dataDirectory, const InputFileInfo& day,
                                             double nowMjd) {
    if (day.year < 0) return {};
    // Only names that may be navigation files are classified: ".yyn" and "_?N." names.
    std::vector<ListedFile> listing;
    for (const char* pattern : {"*.??n*", "*_?n.*"}) {
        std::vector<std::string> names;
        FileSearch::listFiles(dataDirectory + pattern, names);
        for (const std::string& name : names) {
            if (std::any_of(listing.begin(), listing.end(), [&name](const ListedFile& f) { return f.path == name; }))
                continue;  // matched both patterns
            ListedFile file;
            file.path = name;
            file.info = classify(name, nowMjd);
            file.category = categoryOf(file.info);
            listing.push_back(std::move(file));
        }
    }
    return navigationFilesOf(listing, day, DateScope::kDay, false);
}

int FileSearch::searchScinda(int processScope, const SearchDate& date, std::string& searchText,
                             std::vector<std::string>& paths, InputKindFlags& kinds) const {
    const std::string pattern = date.dataDirectory +
                                yearFirstDigits(receiverScope(processScope), date.year, date.month, date.day) + "*.scn";
    return listAccepted(pattern, date, isScindaName, nowMjd_, kinds.scinda, searchText, paths);
}

int FileSearch::searchScindaPrc(int processScope, const SearchDate& date, std::string& searchText,
                                std::vector<std::string>& paths, InputKindFlags& kinds) const {
    const std::string pattern = date.dataDirectory +
                                yearFirstDigits(receiverScope(processScope), date.year, date.month, date.day) +
                                "*_tec.dat";
    return listAccepted(pattern, date, isScindaPrcName, nowMjd_, kinds.scindaPrc, searchText, paths);
}

int FileSearch::searchIsm(int processScope, const SearchDate& date, std::string& searchText,
                          std::vector<std::string>& paths, InputKindFlags& kinds) const {
    const char* extension = "ism";
    const char* dir = date.dataDirectory.c_str();
    const char* station = date.stationCode.c_str();
    const bool withStation = !date.stationCode.empty() && date.stationCode != "N_A_";
    const int yy = date.year % 100;
    std::string pattern;
    switch (receiverScope(processScope)) {
        case DateScope::kDirectory:
            pattern = withStation ? strfmt("%s%s*.%s", dir, station, extension) : strfmt("%s*.%s", dir, extension);
            break;
        case DateScope::kYear:
            pattern = withStation ? strfmt("%s%s*%02d.%s", dir, station, yy, extension)
                                  : strfmt("%s*%02d.%s", dir, yy, extension);
            break;
        case DateScope::kMonth:
            pattern = withStation ? strfmt("%s%s*%02d%02d.%s", dir, station, date.month, yy, extension)
                                  : strfmt("%s*%02d%02d.%s", dir, date.month, yy, extension);
            break;
        case DateScope::kDay:
            pattern = withStation ? strfmt("%s%s%02d%02d%02d.%s", dir, station, date.day, date.month, yy, extension)
                                  : strfmt("%s*%02d%02d%02d.%s", dir, date.day, date.month, yy, extension);
            break;
    }
    return listAccepted(pattern, date, isIsmName, nowMjd_, kinds.ism, searchText, paths);
}

int FileSearch::listExistingProducts(const std::string& directory) {
    return listFiles(directory + "*.cmn", existingProducts_);
}

std::vector<std::string> findBiasSinexFiles(const std::string& dataDirectory, double dayMjd) {
    const double day = std::floor(dayMjd);
    std::vector<std::pair<double, std::string>> covering;  // period length, path
    for (const char* pattern : {"*_*.BIA*", "*_*.BSX*"}) {
        std::vector<std::string> listed;
        FileSearch::listFiles(dataDirectory + pattern, listed);
        for (const std::string& path : listed) {
            BiasSinexPeriod period;
            if (!ParseBiasSinexName(path, period)) continue;
            if (period.startMjd <= day && period.endMjd >= day + 1.0) {
                covering.emplace_back(period.endMjd - period.startMjd, path);
            }
        }
    }
    std::sort(covering.begin(), covering.end());
    std::vector<std::string> found;
    for (const auto& entry : covering) found.push_back(entry.second);
    return found;
}

MonthDcbFiles findDcbFiles(const std::string& dataDirectory, int year, int month) {
    const int yy = year % 100;
    MonthDcbFiles found = {plainOrCompressed(dataDirectory, strfmt("P1P2%02d%02d.DCB", yy, month)),
                           plainOrCompressed(dataDirectory, strfmt("P1C1%02d%02d.DCB", yy, month))};
    const std::vector<std::string> all = plainOrCompressed(dataDirectory, strfmt("P1P2%02d%02d_ALL.DCB", yy, month));
    found.p1p2.insert(found.p1p2.end(), all.begin(), all.end());
    return found;
}

}  // namespace velarix
