#include <cmath>
#include <string_view>
#include <vector>

#include "gnss/bias/dcb_table.h"
#include "platform/fields.h"
#include "platform/line_reader.h"
#include "platform/regular_file.h"
#include "platform/strfmt.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// Published lines are 80 characters; anything beyond this is not part of an entry.
constexpr std::size_t kDcbLineLimit = 256;

// GPS PRN of a satellite token "G01".."G32"; 0 for any other token.
int gpsPrnOf(std::string_view token) {
    if (token.size() != 3 || token[0] != 'G') return 0;
    if (token[1] < '0' || token[1] > '9' || token[2] < '0' || token[2] > '9') return 0;
    const int prn = (token[1] - '0') * 10 + (token[2] - '0');
    return isGpsPrn(prn) ? prn : 0;
}

bool parseValue(std::string_view token, double& value) { return parseNumber(token, value) && std::isfinite(value); }

// Calls `entry` with the tokens of every line after the header's "***" line; `entry`
// tells whether the line gave a value.
template <typename Entry>
DcbFileStatus forEachEntry(const std::string& path, Entry entry) {
    if (path.empty()) return DcbFileStatus::kNotGiven;
    LineReader reader(path);
    switch (reader.openStatus()) {
        case InputFileStatus::kOpened: break;
        case InputFileStatus::kCannotOpen: return DcbFileStatus::kCannotOpen;
        case InputFileStatus::kNotRegularFile: return DcbFileStatus::kNotRegularFile;
    }
    std::string_view line;
    bool cut = false;
    bool anyLine = false;
    bool inBody = false;
    bool anyEntry = false;
    while (reader.next(kDcbLineLimit, line, cut)) {
        anyLine = true;
        const std::vector<std::string_view> tokens = splitBlanks(line);
        if (!inBody) {
            inBody = !tokens.empty() && tokens[0] == "***";
            continue;
        }
        if (!tokens.empty() && entry(tokens)) anyEntry = true;
    }
    if (!anyLine) return DcbFileStatus::kEmpty;
    if (!inBody) return DcbFileStatus::kNoHeaderEnd;
    return anyEntry ? DcbFileStatus::kRead : DcbFileStatus::kNoEntry;
}

// Satellite-only files (P1-C1, P1-P2): "G05  value  rms".
DcbFileStatus readSatelliteFile(const std::string& path, std::array<double, 33>& values) {
    return forEachEntry(path, [&values](const std::vector<std::string_view>& tokens) {
        const int prn = gpsPrnOf(tokens[0]);
        double value = 0.0;
        if (prn == 0 || tokens.size() < 2 || !parseValue(tokens[1], value)) return false;
        values[prn] = value;
        return true;
    });
}

// The file with receivers adds lines "G  NAME  monument  value  rms". Some receivers have
// no monument number, so the value is taken as the second-last token of its line rather
// than by counting tokens across lines: a missing monument would otherwise shift every
// later entry by one token.
DcbFileStatus readFileWithReceivers(const std::string& path, DcbTable& table) {
    return forEachEntry(path, [&table](const std::vector<std::string_view>& tokens) {
        double value = 0.0;
        if (tokens[0].size() == 3) {
            const int prn = gpsPrnOf(tokens[0]);
            if (prn == 0 || tokens.size() < 2 || !parseValue(tokens[1], value)) return false;
            table.p1p2[prn] = value;
            return true;
        }
        if (tokens[0] != "G" || tokens.size() < 4 || !parseValue(tokens[tokens.size() - 2], value)) return false;
        table.receiverP1p2[std::string(tokens[1])] = value;
        return true;
    });
}

}  // namespace

DcbReadResult ReadDcbFiles(const std::string& p1c1Path, const std::string& p1p2Path,
                           const std::string& p1p2AllPath, DcbTable& table) {
    DcbReadResult result;
    result.p1c1 = readSatelliteFile(p1c1Path, table.p1c1);
    if (result.p1c1 == DcbFileStatus::kRead) table.loaded |= DcbTable::kP1c1Loaded;
    result.p1p2All = readFileWithReceivers(p1p2AllPath, table);
    if (result.p1p2All == DcbFileStatus::kRead) table.loaded |= DcbTable::kP1p2Loaded;
    result.p1p2 = readSatelliteFile(p1p2Path, table.p1p2);
    if (result.p1p2 == DcbFileStatus::kRead) table.loaded |= DcbTable::kP1p2Loaded;
    return result;
}

std::string DcbFileProblem(const std::string& path, DcbFileStatus status) {
    const char* problem = "";
    switch (status) {
        case DcbFileStatus::kRead:
        case DcbFileStatus::kNotGiven: return {};
        case DcbFileStatus::kCannotOpen: return inputFileError("DCB", path, InputFileStatus::kCannotOpen);
        case DcbFileStatus::kNotRegularFile: return inputFileError("DCB", path, InputFileStatus::kNotRegularFile);
        case DcbFileStatus::kEmpty: problem = "empty, nothing read"; break;
        case DcbFileStatus::kNoHeaderEnd: problem = "no '***' line, nothing read"; break;
        case DcbFileStatus::kNoEntry: problem = "no valid entry after the '***' line"; break;
    }
    return strfmt("\r\nError! DCB file %s: %s", path.c_str(), problem);
}

}  // namespace velarix
