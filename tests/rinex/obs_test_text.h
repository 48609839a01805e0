#pragma once
// Small RINEX observation texts for the reader tests, and reads of a file or a text.
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "rinex/obs_reader.h"
#include "test_support.h"

namespace velarix {

// One header line: the content padded to 60 columns, then the label.
inline std::string headerLine(std::string_view content, std::string_view label) {
    std::string line(content);
    line.resize(60, ' ');
    return line + std::string(label) + "\n";
}

// Removes the first header line with this label.
inline void eraseHeaderLine(std::string& text, std::string_view label) {
    const size_t at = text.find(label), start = text.rfind('\n', at) + 1;  // the first line has none before it
    text.erase(start, text.find('\n', at) + 1 - start);
}

// The header lines from MARKER NAME to ANTENNA: DELTA H/E/N that every version requires.
inline std::string stationLines(double x, double y, double z, bool markerType) {
    return headerLine("TEST", "MARKER NAME") + (markerType ? headerLine("GEODETIC", "MARKER TYPE") : "") +
           headerLine("observer            agency", "OBSERVER / AGENCY") +
           headerLine("1                   RECEIVER            1.0", "REC # / TYPE / VERS") +
           headerLine("1                   ANTENNA", "ANT # / TYPE") +
           headerLine(strfmt("%14.4f%14.4f%14.4f", x, y, z), "APPROX POSITION XYZ") +
           headerLine("        0.0000        0.0000        0.0000", "ANTENNA: DELTA H/E/N");
}

inline std::string firstObsAndEnd() {
    return headerLine("  2024     1    10     0     0    0.0000000     GPS", "TIME OF FIRST OBS") +
           headerLine("", "END OF HEADER");
}

// A RINEX 3 header with every label that version 3.01/3.02 requires: 13 lines with one line
// of observable types. `typeLines` are the SYS / # / OBS TYPES contents.
inline std::string rinex3Header(const std::vector<std::string>& typeLines, double x = 4362689.8809,
                                double y = 2026647.9686, double z = 4174234.2239, const char* version = "3.02") {
    std::string text =
        headerLine(strfmt("%9s           OBSERVATION DATA    M (MIXED)", version), "RINEX VERSION / TYPE") +
        headerLine("test                test                20240101 000000 UTC", "PGM / RUN BY / DATE") +
        stationLines(x, y, z, true);
    for (const std::string& types : typeLines) text += headerLine(types, "SYS / # / OBS TYPES");
    return text + headerLine("G", "SYS / PHASE SHIFT") + firstObsAndEnd();
}

// A RINEX 2 header with every label that version 2 requires: 11 lines with up to nine types.
inline std::string rinex2Header(const std::vector<std::string>& types, double x = -2148744.6531,
                                double y = 4426641.5827, double z = 4044656.5218) {
    std::string typeLine = strfmt("%6zu", types.size());
    for (const std::string& type : types) typeLine += "    " + type;
    return headerLine("     2.11           OBSERVATION DATA    M (MIXED)", "RINEX VERSION / TYPE") +
           headerLine("test                test                20240101 00:00:00UTC", "PGM / RUN BY / DATE") +
           stationLines(x, y, z, false) + headerLine(typeLine, "# / TYPES OF OBSERV") + firstObsAndEnd();
}

// A 16-character observation field; a value of 0 leaves it blank.
inline std::string obsField(double value) { return value == 0.0 ? std::string(16, ' ') : strfmt("%14.3f  ", value); }

inline std::string trimmedLine(std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line + "\n";
}

inline std::string rinex3Epoch(int hour, int minute, double second, int flag, int count) {
    return strfmt("> 2024 01 10 %02d %02d%11.7f  %d%3d\n", hour, minute, second, flag, count);
}

inline std::string rinex3Sat(const std::string& id, const std::vector<double>& values) {
    std::string line = id;
    for (double value : values) line += obsField(value);
    return trimmedLine(line);
}

inline std::string rinex2Epoch(int hour, int minute, double second, int flag, const std::vector<std::string>& sats) {
    std::string line = strfmt(" 24  1 10 %2d %2d%11.7f  %d%3zu", hour, minute, second, flag, sats.size());
    for (size_t i = 0; i < sats.size(); ++i)
        line += (i > 0 && i % 12 == 0 ? "\n" + std::string(32, ' ') : "") + sats[i];
    return line + "\n";
}

// A RINEX 2 satellite's data lines, five fields per line.
inline std::string rinex2Data(const std::vector<double>& values) {
    std::string text, line;
    for (size_t i = 0; i < values.size(); ++i) {
        line += obsField(values[i]);
        if (i % 5 == 4 || i + 1 == values.size()) text += trimmedLine(std::exchange(line, ""));
    }
    return text;
}

// A read of one file into a fresh table.
struct ObsRead {
    ObsTable table;
    Rinex3ObsHeader header;
    RunLog log;
    ObsReadCounts counts;

    explicit ObsRead(const std::string& path, ObsKeep keep = ObsKeep::kEvery)
        : counts(OBS_readR3(path, table, header, log, keep)) {}
    bool logHas(std::string_view text) const { return log.messages.find(text) != std::string::npos; }
    size_t records(int satNo) const {
        const auto found = table.bySatellite.find(satNo);
        return found == table.bySatellite.end() ? 0 : found->second.size();
    }
    std::vector<size_t> records(std::initializer_list<int> satNos) const {
        std::vector<size_t> counts;
        for (int satNo : satNos) counts.push_back(records(satNo));
        return counts;
    }
    const SatEpochRecord& record(int satNo, size_t index) const { return table.bySatellite.at(satNo).at(index); }
};

inline ObsRead obsText(const std::string& text, ObsKeep keep = ObsKeep::kEvery) {
    return ObsRead(TempDir().write("test.obs", text), keep);
}

}  // namespace velarix
