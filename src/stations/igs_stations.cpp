#include "stations/igs_stations.h"

#include <algorithm>
#include <vector>

#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "platform/fields.h"

namespace {

// A file line shorter than this at the end of the file is a trailing remnant (an empty
// last line, a stray ^Z or blanks) and ends the list without an error.
constexpr std::size_t kShortestStationLine = 5;

bool parseStationLine(std::string_view line, StationInfo& station) {
    const std::vector<std::string_view> fields = splitTabs(line);
    if (fields.size() < 7) return false;
    station.code = std::string(trim(fields[0]));
    station.city = std::string(trim(fields[1]));
    station.country = std::string(trim(fields[2]));
    if (station.code.empty()) return false;
    if (!parseNumber(fields[3], station.longitude) || !parseNumber(fields[4], station.latitude) ||
        !parseNumber(fields[5], station.altitude)) {
        return false;
    }
    // The agency is the rest of the line, whatever it holds.
    const std::size_t agencyStart = static_cast<std::size_t>(fields[6].data() - line.data());
    station.agency = std::string(trim(line.substr(agencyStart)));
    return true;
}

void setError(std::string* errorText, const std::string& text) {
    if (errorText) *errorText = text;
}

}  // namespace

int readIgsStationFile(const std::string& path, StationCatalogue& catalogue, std::string* errorText) {
    std::string text;
    if (const InputFileStatus status = readRegularFile(path, text); status != InputFileStatus::kOpened) {
        setError(errorText, status == InputFileStatus::kNotRegularFile
                                ? strfmt("\r\nError! %s is not a regular file", path.c_str())
                                : strfmt("\r\nError! unable to open %s", path.c_str()));
        return -1;
    }
    long lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        ++lineNumber;
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = withoutCr(std::string_view(text).substr(start, end - start));
        start = end + 1;
        const bool lastLine = start >= text.size();
        if (lastLine && line.size() < kShortestStationLine) break;
        if (trim(line).empty()) continue;
        StationInfo station;
        if (line.size() > kIgsLineMaxChars || !parseStationLine(line, station)) {
            setError(errorText, strfmt("\r\nError! malformed station line in %s @line# %ld", path.c_str(),
                                       lineNumber));
            return -2;
        }
        // A code listed twice keeps its first entry: the list is read top-down and the
        // first line for a station is the one its maintainer placed deliberately.
        catalogue.emplace(station.code, std::move(station));
    }
    return 0;
}

int loadIgsStations(const std::string& programDir, StationCatalogue& catalogue, std::string* errorText) {
    std::string path = findDataFile(programDir, kIgsStationFileName);
    if (path.empty()) {
        std::string places;
        for (const std::string& dir : dataDirectories(programDir)) places += "\r\n" + dir;
        setError(errorText, strfmt("\r\nError! %s not found in:%s", kIgsStationFileName, places.c_str()));
        return -1;
    }
    return readIgsStationFile(path, catalogue, errorText);
}

const StationInfo* findStation(const StationCatalogue& catalogue, std::string_view code) {
    for (const auto& [key, station] : catalogue) {
        if (equalsNoCase(key, code)) return &station;
    }
    return nullptr;
}
