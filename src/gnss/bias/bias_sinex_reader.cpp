#include "gnss/bias/bias_sinex_reader.h"

#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <string_view>

#include "platform/fields.h"
#include "platform/line_reader.h"
#include "platform/message_limiter.h"
#include "platform/regular_file.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// Solution lines are 103 characters wide; anything longer is not one.
constexpr std::size_t kLineLimit = 256;
constexpr char kBadLine[] = "unreadable bias solution line";

// The three GPS code observables the P1-P2 and P1-C1 values come from.
enum Code { kC1C, kC1W, kC2W, kCodeCount };

std::optional<Code> codeOf(std::string_view name) {
    if (name == "C1C") return kC1C;
    if (name == "C1W") return kC1W;
    if (name == "C2W") return kC2W;
    return std::nullopt;
}

// What one satellite or station has in the file, relative (DSB) and absolute (OSB).
struct OwnerBiases {
    std::array<std::array<std::optional<double>, kCodeCount>, kCodeCount> dsb_ns;  // [first][second]
    std::array<std::optional<double>, kCodeCount> osb_ns;

    // The bias of `a` minus the bias of `b`, from whichever entries give it.
    std::optional<double> difference(Code a, Code b) const {
        if (dsb_ns[a][b]) return dsb_ns[a][b];
        if (dsb_ns[b][a]) return -*dsb_ns[b][a];
        if (osb_ns[a] && osb_ns[b]) return *osb_ns[a] - *osb_ns[b];
        return std::nullopt;
    }

    std::optional<double> p1p2() const {
        if (const auto direct = difference(kC1W, kC2W)) return direct;
        const auto c1c2 = difference(kC1C, kC2W);
        const auto c1p1 = difference(kC1C, kC1W);
        if (c1c2 && c1p1) return *c1c2 - *c1p1;
        return std::nullopt;
    }
};

// 1-based inclusive columns of a solution line, blanks around them dropped.
std::string_view field(std::string_view line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    return trim(line.substr(first - 1, last - first + 1));
}

enum class LineResult { kUsed, kSkipped, kBad };

struct FileBiases {
    std::array<OwnerBiases, 33> satellites;  // by GPS PRN
    std::map<std::string, OwnerBiases> stations;

    // One line of the +BIAS/SOLUTION block:
    // *BIAS SVN_ PRN STATION__ OBS1 OBS2 BIAS_START____ BIAS_END______ UNIT __ESTIMATED_VALUE____ _STD_DEV___
    LineResult take(std::string_view line) {
        const std::string_view kind = field(line, 2, 5);
        if (kind == "ISB") return LineResult::kSkipped;
        if (kind != "DSB" && kind != "OSB") return LineResult::kBad;
        if (line.size() < 91) return LineResult::kBad;
        if (line[6] != 'G') return LineResult::kSkipped;  // the system of the SVN field
        const auto first = codeOf(field(line, 26, 29));
        const std::string_view secondName = field(line, 31, 34);
        const auto second = codeOf(secondName);
        if (!first || (kind == "DSB" && !second)) return LineResult::kSkipped;
        if (kind == "OSB" && !secondName.empty()) return LineResult::kBad;
        double value_ns = 0.0;
        if (field(line, 66, 69) != "ns" || !parseNumber(field(line, 71, 91), value_ns) || !std::isfinite(value_ns)) {
            return LineResult::kBad;
        }
        OwnerBiases* owner = nullptr;
        const std::string_view prnField = field(line, 12, 14);
        const std::string_view station = field(line, 16, 24);
        if (prnField.size() == 3) {
            int prn = 0;
            if (prnField[0] != 'G' || !parseInteger(prnField.substr(1), prn)) return LineResult::kBad;
            // A bias of one satellite at one station is not one the analysis uses.
            if (!station.empty() || !isGpsPrn(prn)) return LineResult::kSkipped;
            owner = &satellites[prn];
        } else {
            if (station.size() < 4) return LineResult::kBad;
            owner = &stations[toUpper(station.substr(0, 4))];
        }
        if (kind == "DSB") {
            owner->dsb_ns[*first][*second] = value_ns;
        } else {
            owner->osb_ns[*first] = value_ns;
        }
        return LineResult::kUsed;
    }

    void store(DcbTable& table, BiasSinexCounts& counts) const {
        for (int prn = 1; prn <= 32; ++prn) {
            const OwnerBiases& satellite = satellites[prn];
            if (const auto p1p2 = satellite.p1p2()) {
                table.p1p2[prn] = *p1p2;
                ++counts.satellitesP1p2;
            }
            if (const auto p1c1 = satellite.difference(kC1W, kC1C)) {
                table.p1c1[prn] = *p1c1;
                ++counts.satellitesP1c1;
            }
        }
        for (const auto& [site, station] : stations) {
            auto value = station.p1p2();
            if (!value) value = station.difference(kC1C, kC2W);
            if (!value) continue;
            table.receiverP1p2[site] = *value;
            ++counts.stations;
        }
        if (counts.satellitesP1p2 > 0) table.loaded |= DcbTable::kP1p2Loaded;
        if (counts.satellitesP1c1 > 0) table.loaded |= DcbTable::kP1c1Loaded;
    }
};

}  // namespace

BiasSinexStatus ReadBiasSinexFile(const std::string& path, DcbTable& table, RunLog& log, BiasSinexCounts* countsOut) {
    LineReader reader(path);
    switch (reader.openStatus()) {
        case InputFileStatus::kOpened: break;
        case InputFileStatus::kCannotOpen: return BiasSinexStatus::kCannotOpen;
        case InputFileStatus::kNotRegularFile: return BiasSinexStatus::kNotRegularFile;
    }
    std::string_view line;
    bool cut = false;
    long lineNumber = 0;
    bool inSolution = false;
    BiasSinexCounts counts;
    FileBiases biases;
    MessageLimiter messages(log, path);
    while (reader.next(kLineLimit, line, cut)) {
        ++lineNumber;
        if (lineNumber == 1) {
            if (!startsWith(line, "%=BIA") && !startsWith(line, "%=BSX")) return BiasSinexStatus::kNotBiasSinex;
            continue;
        }
        if (startsWith(line, "+BIAS/SOLUTION")) {
            inSolution = true;
        } else if (startsWith(line, "-BIAS/SOLUTION")) {
            inSolution = false;
        } else if (inSolution && !line.empty() && line[0] != '*') {
            if (cut || biases.take(line) == LineResult::kBad) {
                ++counts.badLines;
                if (messages.admit(kBadLine)) {
                    log.append(strfmt("\r\nError! Bias-SINEX file %s: %s @line# %ld", path.c_str(), kBadLine, lineNumber));
                }
            }
        }
    }
    if (lineNumber == 0) return BiasSinexStatus::kNotBiasSinex;
    messages.finish();
    if (counts.badLines > 0) {
        log.append(strfmt("\r\nWarning! %ld lines of Bias-SINEX file %s were not readable\r\n", counts.badLines,
                          path.c_str()));
        log.appendError(strfmt("%s .. %ld Bias-SINEX lines not readable\r\n", path.c_str(), counts.badLines));
    }
    biases.store(table, counts);
    if (countsOut != nullptr) *countsOut = counts;
    return counts.satellitesP1p2 > 0 ? BiasSinexStatus::kRead : BiasSinexStatus::kNoGpsBias;
}

std::string BiasSinexProblem(const std::string& path, BiasSinexStatus status) {
    const char* problem = "";
    switch (status) {
        case BiasSinexStatus::kRead: return {};
        case BiasSinexStatus::kCannotOpen: return inputFileError("Bias-SINEX", path, InputFileStatus::kCannotOpen);
        case BiasSinexStatus::kNotRegularFile:
            return inputFileError("Bias-SINEX", path, InputFileStatus::kNotRegularFile);
        case BiasSinexStatus::kNotBiasSinex: problem = "not a Bias-SINEX file (no \"%=BIA\" first line)"; break;
        case BiasSinexStatus::kNoGpsBias: problem = "no GPS satellite C1W-C2W (or C1C-C2W and C1C-C1W) bias"; break;
    }
    return strfmt("\r\nError! DCB file %s: %s", path.c_str(), problem);
}

}  // namespace velarix
