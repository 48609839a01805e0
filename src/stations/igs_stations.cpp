#include "stations/igs_stations.h"

#include <vector>

#include "platform/line_reader.h"
#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "platform/fields.h"

namespace velarix {

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

IgsReadResult readIgsStationFile(const std::string& path, StationCatalogue& catalogue, std::string* errorText) {
    LineReader in(path);
    if (!in.isOpen()) {
        setError(errorText, in.openStatus() == InputFileStatus::kNotRegularFile
                                ? strfmt("\r\nError! %s is not a regular file", path.c_str())
                                : strfmt("\r\nError! unable to open %s", path.c_str()));
        return IgsReadResult::kCannotOpen;
    }
    // Lines are read one ahead, to know the last one. A line longer than the longest a
    // station line may be is cut one character past it, which makes it malformed.
    std::string_view next;
    bool nextCut = false;
    bool more = in.next(kIgsLineMaxChars + 1, next, nextCut);
    std::string line;
    long lineNumber = 0;
    while (more) {
        ++lineNumber;
        line.assign(next);
        more = in.next(kIgsLineMaxChars + 1, next, nextCut);
        const bool lastLine = !more;
        if (lastLine && line.size() < kShortestStationLine) break;
        if (trim(line).empty()) continue;
        StationInfo station;
        if (line.size() > kIgsLineMaxChars || !parseStationLine(line, station)) {
            setError(errorText, strfmt("\r\nError! malformed station line in %s @line# %ld", path.c_str(),
                                       lineNumber));
            return IgsReadResult::kMalformedLine;
        }
        // A code listed twice keeps its first entry: the list is read top-down and the
        // first line for a station is the one its maintainer placed deliberately.
        catalogue.emplace(station.code, std::move(station));
    }
    return IgsReadResult::kRead;
}

IgsReadResult loadIgsStations(const std::string& programDir, StationCatalogue& catalogue, std::string* errorText) {
    std::string path = findDataFile(programDir, kIgsStationFileName);
    if (path.empty()) {
        std::string places;
        for (const std::string& dir : dataDirectories(programDir)) places += "\r\n" + dir;
        setError(errorText, strfmt("\r\nError! %s not found in:%s", kIgsStationFileName, places.c_str()));
        return IgsReadResult::kCannotOpen;
    }
    return readIgsStationFile(path, catalogue, errorText);
}

const StationInfo* findStation(const StationCatalogue& catalogue, std::string_view code) {
    for (const auto& [key, station] : catalogue) {
        if (equalsNoCase(key, code)) return &station;
    }
    return nullptr;
}

}  // namespace velarix
