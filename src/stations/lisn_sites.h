#pragma once
// The LISN site table: one record per LISN receiver site, linked into the program from
// data/LISN_Site_Def.txt, with a text file of the same name as fallback. A record is
//   1End
//   "CITY, COUNTRY"
//   latitude_deg longitude_deg altitude_km
//   <receiver type, blank-padded to 49>\tReceiver type
//   <data format>\tformat
//   <sampling rate, s>\tsampling rate
//   <first PRN> <last PRN>\tPRNs to be BIAS adjusted
//   <prefix> <suffix>\tprefix & sufix used in station
//   <sub-directory>\tname of sub-directory
//   <three letters>\t3-letter prefix for NOVATEL rx
//   <ten flags, 0 or 1, blank-separated>
// with CR LF line ends.
#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace velarix {

class RunLog;

struct LisnSite {
    std::string siteName;  // the quoted name without quotes, "CITY, COUNTRY" (the key)
    std::string city;
    std::string country;
    double latitude_deg = 0.0;
    double longitude_deg = 0.0;
    double altitude_km = 0.0;
    std::string receiverType;  // Novatel, Ashtech, Leica, Trimble
    std::string dataFormat;    // GSV4004, AERformat, RINEX, CRS1000
    double samplingRate_s = 0.0;
    int firstBiasPrn = 0;  // GPS PRNs firstBiasPrn..lastBiasPrn are bias-adjusted
    int lastBiasPrn = 0;
    std::string filePrefix;  // file-name prefix and suffix used at the station
    std::string fileSuffix;
    std::string subDirectory;
    std::string novatelPrefix;  // three-letter prefix of NovAtel recordings
    std::array<int, 10> flags{};
};

using LisnSiteTable = std::map<std::string, LisnSite>;

constexpr const char* kLisnSiteFileName = "LISN_Site_Def.txt";

// The table embedded at build time (data/LISN_Site_Def.txt), NUL-terminated.
extern const unsigned char kLisnSiteTable[];
extern const std::size_t kLisnSiteTableSize;

// Parses every record of `text` into `table` (a site already present keeps its first
// record). Returns the number of records read, or -1 at the first malformed line, with
// `errorText` (when given) holding "@line# N" and the reason; `table` is then unchanged.
[[nodiscard]] int parseLisnSites(std::string_view text, LisnSiteTable& table, std::string* errorText = nullptr);

// Loads the embedded table into `table`; when it is empty or does not parse, reports
// that in `log` and reads "LISN_Site_Def.txt" from the program directory, then from
// <prefix>/share/velarix/. True when a source gave a table; false when neither did (the
// S4 analysis cannot run then).
[[nodiscard]] bool loadLisnSites(const std::string& programDir, LisnSiteTable& table, RunLog& log);

// The same with the embedded text given explicitly.
[[nodiscard]] bool loadLisnSites(const std::string& programDir, std::string_view embeddedText, LisnSiteTable& table,
                                 RunLog& log);

}  // namespace velarix
