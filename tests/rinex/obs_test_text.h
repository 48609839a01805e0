#pragma once
// Small RINEX observation texts for the reader tests, and a helper that reads a text.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "rinex/obs_reader.h"
#include "test_support.h"

// One header line: the content padded to 60 columns, then the label.
inline std::string headerLine(std::string_view content, std::string_view label) {
    std::string line(content);
    line.resize(60, ' ');
    return line + std::string(label) + "\n";
}

// Removes the (first) header line with this label.
inline void eraseHeaderLine(std::string& text, std::string_view label) {
    const size_t at = text.find(label);
    if (at == std::string::npos) return;
    const size_t begin = text.rfind('\n', at);
    const size_t start = begin == std::string::npos ? 0 : begin + 1;
    text.erase(start, text.find('\n', at) + 1 - start);
}

inline std::string positionLine(double x, double y, double z) {
    return headerLine(strfmt("%14.4f%14.4f%14.4f", x, y, z), "APPROX POSITION XYZ");
}

// A RINEX 3 header with every label that version 3.01/3.02 requires: 13 lines with one line
// of observable types. `typeLines` are the SYS / # / OBS TYPES contents.
inline std::string rinex3Header(const std::vector<std::string>& typeLines, double x = 4362689.8809,
                                double y = 2026647.9686, double z = 4174234.2239, const char* version = "3.02") {
    std::string text = headerLine(strfmt("%9s           OBSERVATION DATA    M (MIXED)", version), "RINEX VERSION / TYPE");
    text += headerLine("test                test                20240101 000000 UTC", "PGM / RUN BY / DATE");
    text += headerLine("TEST", "MARKER NAME");
    text += headerLine("GEODETIC", "MARKER TYPE");
    text += headerLine("observer            agency", "OBSERVER / AGENCY");
    text += headerLine("1                   RECEIVER            1.0", "REC # / TYPE / VERS");
    text += headerLine("1                   ANTENNA", "ANT # / TYPE");
    text += positionLine(x, y, z);
    text += headerLine("        0.0000        0.0000        0.0000", "ANTENNA: DELTA H/E/N");
    for (const std::string& types : typeLines) text += headerLine(types, "SYS / # / OBS TYPES");
    text += headerLine("G", "SYS / PHASE SHIFT");
    text += headerLine("  2024     1    10     0     0    0.0000000     GPS", "TIME OF FIRST OBS");
    text += headerLine("", "END OF HEADER");
    return text;
}

// A RINEX 2 header with every label that version 2 requires: 11 lines with up to nine types.
inline std::string rinex2Header(const std::vector<std::string>& types, double x = -2148744.6531,
                                double y = 4426641.5827, double z = 4044656.5218) {
    std::string text = headerLine("     2.11           OBSERVATION DATA    M (MIXED)", "RINEX VERSION / TYPE");
    text += headerLine("test                test                20240101 00:00:00UTC", "PGM / RUN BY / DATE");
    text += headerLine("TEST", "MARKER NAME");
    text += headerLine("observer            agency", "OBSERVER / AGENCY");
    text += headerLine("1                   RECEIVER            1.0", "REC # / TYPE / VERS");
    text += headerLine("1                   ANTENNA", "ANT # / TYPE");
    text += positionLine(x, y, z);
    text += headerLine("        0.0000        0.0000        0.0000", "ANTENNA: DELTA H/E/N");
    std::string typeLine = strfmt("%6zu", types.size());
    for (size_t i = 0; i < types.size(); ++i) {
        if (i > 0 && i % 9 == 0) {
            text += headerLine(typeLine, "# / TYPES OF OBSERV");
            typeLine = "      ";
        }
        typeLine += "    " + types[i];
    }
    text += headerLine(typeLine, "# / TYPES OF OBSERV");
    text += headerLine("  2024     1    10     0     0    0.0000000     GPS", "TIME OF FIRST OBS");
    text += headerLine("", "END OF HEADER");
    return text;
}

inline std::string rinex3Epoch(int hour, int minute, double second, int flag, int count, int day = 10) {
    return strfmt("> 2024 01 %02d %02d %02d%11.7f  %d%3d\n", day, hour, minute, second, flag, count);
}

// A RINEX 3 satellite line; a value of 0 leaves its field blank.
inline std::string rinex3Sat(const std::string& id, const std::vector<double>& values) {
    std::string line = id;
    for (double value : values) line += value == 0.0 ? std::string(16, ' ') : strfmt("%14.3f  ", value);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line + "\n";
}

inline std::string rinex2Epoch(int hour, int minute, double second, int flag, const std::vector<std::string>& sats) {
    std::string line = strfmt(" 24  1 10 %2d %2d%11.7f  %d%3zu", hour, minute, second, flag, sats.size());
    for (size_t i = 0; i < sats.size(); ++i) {
        if (i > 0 && i % 12 == 0) line += "\n                                ";
        line += sats[i];
    }
    return line + "\n";
}

// A RINEX 2 satellite's data lines, five fields per line; a value of 0 leaves it blank.
inline std::string rinex2Data(const std::vector<double>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += values[i] == 0.0 ? std::string(16, ' ') : strfmt("%14.3f  ", values[i]);
        if (i % 5 == 4 || i + 1 == values.size()) {
            while (!text.empty() && text.back() == ' ') text.pop_back();
            text += "\n";
        }
    }
    return text;
}

// A fresh read of one text.
struct ObsRead {
    ObsTable table;
    Rinex3ObsHeader header;
    RunLog log;
    ObsReadCounts counts;

    explicit ObsRead(const std::string& text, const char* name = "test.obs") {
        TempDir dir;
        counts = OBS_readR3(dir.write(name, text), table, header, log);
    }
    bool logHas(std::string_view text) const { return log.messages.find(text) != std::string::npos; }
    size_t records(int satNo) const {
        const auto found = table.bySatellite.find(satNo);
        return found == table.bySatellite.end() ? 0 : found->second.size();
    }
};
