#pragma once
// The IGS station list "IGS_stations.txt": one TAB-separated line per station,
//   CODE<TAB>city<TAB>country<TAB>longitude<TAB>latitude<TAB>altitude<TAB>agency
// giving the labels of the products and a station position when the header has none.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "platform/status_code.h"

namespace velarix {

struct StationInfo {
    std::string code;  // four characters, the catalogue key
    std::string city;
    std::string country;
    std::string agency;
    double longitude = 0.0;  // degrees, as written in the file
    double latitude = 0.0;   // degrees
    double altitude = 0.0;   // as written in the file (metres in the shipped list)
};

// Ordered by plain byte comparison of the codes.
using StationCatalogue = std::map<std::string, StationInfo>;

constexpr const char* kIgsStationFileName = "IGS_stations.txt";
constexpr std::size_t kIgsLineMaxChars = 190;  // without the line end

// How a read of the station list ended.
enum class IgsReadResult {
    kRead = 0,
    kCannotOpen = -1,     // no file can be opened, or the one named is no regular file
    kMalformedLine = -2,  // wrong number of TAB fields, a number that does not read, or a
                          // line longer than kIgsLineMaxChars
};

// Finds "IGS_stations.txt" in the program directory, then in <prefix>/share/velarix/,
// and reads it into `catalogue`. On kCannotOpen and kMalformedLine `errorText` (when
// given) names the file, and for kMalformedLine the line ("@line# N"); entries read
// before a bad line stay loaded.
[[nodiscard]] IgsReadResult loadIgsStations(const std::string& programDir, StationCatalogue& catalogue,
                                            std::string* errorText = nullptr);

// The same for an explicit path.
[[nodiscard]] IgsReadResult readIgsStationFile(const std::string& path, StationCatalogue& catalogue,
                                               std::string* errorText = nullptr);

// First entry, in catalogue order, whose code equals `code` without regard to case;
// nullptr when none does.
const StationInfo* findStation(const StationCatalogue& catalogue, std::string_view code);

}  // namespace velarix
