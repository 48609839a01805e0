#include "rinex/satellite_id.h"

#include <cctype>
#include <cstdio>

namespace velarix {

namespace {

struct SystemRange {
    int first;
    int last;  // 0: any positive number
};

// Accepted PRNs by system code (index 1..10) for the checked parse.
constexpr SystemRange kRanges[] = {{0, 0},   {1, 32}, {20, 42}, {1, 27}, {1, 30},
                                   {1, 35}, {0, -1}, {1, 7},   {1, 0},  {1, 0}, {1, 0}};

// Reads a decimal number from `digits` (blanks around it allowed); -1 when there is none.
long readNumber(std::string_view digits) {
    long value = 0;
    bool any = false;
    bool ended = false;
    for (char c : digits) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            if (ended) return -1;
            if (value < 100000) value = value * 10 + (c - '0');
            any = true;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (any) ended = true;
        } else {
            return -1;
        }
    }
    return any ? value : -1;
}

bool isBlankText(std::string_view text) {
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
    }
    return true;
}

char letterOf(int systemCode) {
    static const char kLetters[] = "?GSRECJITM?";
    return systemCode >= 1 && systemCode <= 10 ? kLetters[systemCode] : '?';
}

}  // namespace

const char* systemName(int systemCode) {
    switch (systemCode) {
        case kGps: return "GPS";
        case kSbas: return "SBASGeo";
        case kGlonass: return "Glonass";
        case kGalileo: return "Galileo";
        case kBeiDou: return "BeiDou";
        case kQzss: return "QZSS";
        case kIrnss: return "IRNSS";
        case kTransit: return "Transit";
        case kMixed: return "systemMixed";
        default: return "Unknown";
    }
}

int systemOfLetter(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
        case 'G':
        case ' ': return kGps;
        case 'S': return kSbas;
        case 'R': return kGlonass;
        case 'E': return kGalileo;
        case 'C': return kBeiDou;
        case 'J': return kQzss;
        case 'I': return kIrnss;
        case 'T': return kTransit;
        case 'M': return kMixed;
        default: return std::isdigit(static_cast<unsigned char>(letter)) ? kGps : kUnknownSystem;
    }
}

int parseSatIdChecked(std::string_view text, SatId& id) {
    text = text.substr(0, 3);
    if (text.empty() || isBlankText(text)) return 0;
    const char first = text[0];
    const bool digitFirst = std::isdigit(static_cast<unsigned char>(first)) != 0;
    id.systemCode = systemOfLetter(first);
    id.letter = letterOf(id.systemCode);
    const long prn = readNumber(digitFirst ? text : text.substr(1));
    if (prn <= 0) {
        id.satNo = -1;
        return -1;
    }
    const SystemRange range = kRanges[id.systemCode];
    const bool inRange = range.last == 0 ? true : (range.last > 0 && prn >= range.first && prn <= range.last);
    if (!inRange) {
        id.satNo = static_cast<int>(prn);
        return -2;
    }
    id.satNo = (id.systemCode - 1) * 100 + static_cast<int>(prn);
    return 0;
}

int satNoUnchecked(std::string_view text) {
    text = text.substr(0, 3);
    if (text.empty()) return -1;
    const char first = text[0];
    const bool digitFirst = std::isdigit(static_cast<unsigned char>(first)) != 0;
    const long prn = readNumber(digitFirst ? text : text.substr(1));
    if (prn <= 0) return -1;
    return (systemOfLetter(first) - 1) * 100 + static_cast<int>(prn);
}

std::string satelliteLabel(int satNo) {
    const int system = systemOf(satNo);
    const int prn = satNo - (system - 1) * 100;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d", letterOf(system), prn);
    return text;
}

}  // namespace velarix
