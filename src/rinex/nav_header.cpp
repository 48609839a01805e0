#include "rinex/nav_header.h"

#include <cctype>
#include <string_view>

#include "platform/message_limiter.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "rinex/nav_fields.h"
#include "rinex/nav_lines.h"
#include "rinex/satellite_id.h"

namespace velarix {

const IonoKind kIonoKinds[9] = {
    {"GPSA", &NavHeader::gpsAlpha},   {"GPSB", &NavHeader::gpsBeta},    {"GAL ", &NavHeader::galileo},
    {"QZSA", &NavHeader::qzssAlpha},  {"QZSB", &NavHeader::qzssBeta},   {"BDSA", &NavHeader::beidouAlpha},
    {"BDSB", &NavHeader::beidouBeta}, {"IRNA", &NavHeader::irnssAlpha}, {"IRNB", &NavHeader::irnssBeta},
};

const TimeCorrectionKind kTimeCorrectionKinds[7] = {
    {"GPUT", &NavHeader::gput}, {"GLUT", &NavHeader::glut}, {"GAUT", &NavHeader::gaut}, {"QZUT", &NavHeader::qzut},
    {"BDUT", &NavHeader::bdut}, {"SBUT", &NavHeader::sbut}, {"IRUT", &NavHeader::irut},
};

namespace {

constexpr std::size_t kLabelColumn = 60;
constexpr std::size_t kShortestHeaderLine = 61;

std::string_view field(std::string_view line, std::size_t start, std::size_t width) {
    return start < line.size() ? line.substr(start, width) : std::string_view();
}

bool parseInt(std::string_view text, int& value) {
    double number = 0.0;
    if (!parseNavNumber(text, number)) return false;
    value = roundToInt(number);
    return true;
}

// Four values of `width` characters from `start`.
bool parseCoefficients(std::string_view line, std::size_t start, std::size_t width, IonoCoefficients& set) {
    IonoCoefficients parsed;
    for (std::size_t i = 0; i < 4; ++i) {
        if (!parseNavNumber(field(line, start + i * width, width), parsed.value[i])) return false;
    }
    parsed.present = true;
    set = parsed;
    return true;
}

bool parseVersionLine(std::string_view line, NavHeader& header) {
    double version = 0.0;
    if (!parseNavNumber(field(line, 0, 9), version)) return false;
    header.version = version;
    header.fileType = line.size() > 20 ? static_cast<char>(std::toupper(static_cast<unsigned char>(line[20]))) : ' ';
    if (header.isRinex3()) {
        header.systemCode = systemOfLetter(line.size() > 40 ? line[40] : ' ');
    } else {
        header.systemCode = header.fileType == 'G' ? kGlonass : header.fileType == 'H' ? kSbas : kGps;
    }
    return true;
}

// "DELTA-UTC: A0,A1,T,W" (RINEX 2: 3X,2D19.12,2I9).
bool parseDeltaUtc(std::string_view line, TimeCorrection& correction) {
    TimeCorrection parsed;
    if (!parseNavNumber(field(line, 3, 19), parsed.a0_s) || !parseNavNumber(field(line, 22, 19), parsed.a1_sps) ||
        !parseInt(field(line, 41, 9), parsed.referenceTime_s) || !parseInt(field(line, 50, 9), parsed.referenceWeek)) {
        return false;
    }
    parsed.present = true;
    correction = parsed;
    return true;
}

// "IONOSPHERIC CORR": a four-character kind and four 12-character values from column 6.
bool parseIonosphericCorr(std::string_view line, NavHeader& header) {
    const std::string_view code = field(line, 0, 4);
    for (const IonoKind& kind : kIonoKinds) {
        if (code == kind.code) return parseCoefficients(line, 5, 12, header.*kind.values);
    }
    return true;  // a kind no stage uses
}

// "TIME SYSTEM CORR": a0 (columns 6-22), a1 (23-38), T (39-45), W (46-50).
bool parseTimeSystemCorr(std::string_view line, NavHeader& header) {
    const std::string_view code = field(line, 0, 4);
    for (const TimeCorrectionKind& kind : kTimeCorrectionKinds) {
        if (code != kind.code) continue;
        TimeCorrection parsed;
        if (!parseNavNumber(field(line, 5, 17), parsed.a0_s) || !parseNavNumber(field(line, 22, 16), parsed.a1_sps) ||
            !parseInt(field(line, 38, 7), parsed.referenceTime_s) ||
            !parseInt(field(line, 45, 5), parsed.referenceWeek)) {
            return false;
        }
        parsed.present = true;
        header.*kind.values = parsed;
        return true;
    }
    return true;
}

enum class LineResult { kOther, kEnd, kBad };

LineResult parseHeaderLine(std::string_view line, NavHeader& header) {
    // Labels sit from column 61; a comment's text may mention a label.
    const std::string_view label = line.substr(kLabelColumn);
    auto has = [&](std::string_view name) { return label.find(name) != std::string_view::npos; };
    bool ok = true;
    if (has("RINEX VERSION / TYPE")) {
        ok = parseVersionLine(line, header);
    } else if (has("PGM / RUN BY / DATE") || has("PGM / RUNBY / DATE") || has("COMMENT")) {
        // nothing to keep
    } else if (has("ION ALPHA")) {
        ok = parseCoefficients(line, 2, 12, header.gpsAlpha);
    } else if (has("ION BETA")) {
        ok = parseCoefficients(line, 2, 12, header.gpsBeta);
    } else if (has("DELTA-UTC: A0,A1,T,W")) {
        ok = parseDeltaUtc(line, header.deltaUtc);
    } else if (has("IONOSPHERIC CORR")) {
        ok = parseIonosphericCorr(line, header);
    } else if (has("TIME SYSTEM CORR")) {
        ok = parseTimeSystemCorr(line, header);
    } else if (has("LEAP SECONDS")) {
        ok = parseInt(field(line, 0, 6), header.leapSeconds);
        header.leapSecondsPresent = ok;
    } else if (has("END OF HEADER")) {
        return LineResult::kEnd;
    }
    return ok ? LineResult::kOther : LineResult::kBad;
}

bool isNavigationType(char type) { return type == 'N' || type == 'G' || type == 'H'; }

}  // namespace

bool readNavHeader(NavLines& lines, NavHeader& header, RunLog& log, const std::string& path,
                   MessageLimiter& messages) {
    constexpr const char* kUnreadableFormat = "\r\nWarning! unreadable value in nav. header @line# %d: ";
    header = NavHeader{};
    std::string_view line;
    bool ended = false;
    while (!ended && lines.next(line)) {
        if (line.size() < kShortestHeaderLine) continue;
        switch (parseHeaderLine(line, header)) {
            case LineResult::kEnd: ended = true; break;
            case LineResult::kBad:
                if (messages.admit(kUnreadableFormat)) log.append(strfmt(kUnreadableFormat, lines.lineNumber()) + path);
                break;
            case LineResult::kOther: break;
        }
    }
    if (!ended) {
        log.append(strfmt("\r\nError! nav. header without END OF HEADER @line# %d: ", lines.lineNumber()));
        log.append(path);
        return false;
    }
    if (!(header.version >= 1.0 && header.version < 5.0)) {
        log.append(strfmt("\r\nError! unsupported RINEX version %.2f in nav. file: ", header.version));
        log.append(path);
        return false;
    }
    if (!isNavigationType(header.fileType)) {
        log.append(strfmt("\r\nError! not a navigation file (type '%c'): ", header.fileType));
        log.append(path);
        return false;
    }
    return true;
}

}  // namespace velarix
