#include "rinex/obs_codes.h"

#include "rinex/satellite_id.h"

namespace velarix {

namespace {

using CodeText = std::array<char, 4>;

constexpr std::array<CodeText, kObsCodeCount> makeCodeTexts() {
    std::array<CodeText, kObsCodeCount> texts{};
    const int attributes = static_cast<int>(kObsAttributes.size());
    for (int id = 0; id < kObsCodeCount; ++id) {
        const int attribute = id % attributes;
        const int band = (id / attributes) % kObsBandCount;
        const int type = id / (attributes * kObsBandCount);
        texts[id] = {kObsTypes[type], static_cast<char>('1' + band), kObsAttributes[attribute], '\0'};
    }
    return texts;
}

constexpr std::array<CodeText, kObsCodeCount> kCodeTexts = makeCodeTexts();

// The two directions must agree for every identifier.
constexpr bool roundTrips() {
    for (int id = 0; id < kObsCodeCount; ++id) {
        if (obsCodeId(std::string_view(kCodeTexts[id].data(), 3)) != id) return false;
    }
    return true;
}
static_assert(roundTrips());
static_assert(obsCodeId("C1C") >= 0 && obsCodeId("S9X") >= 0 && obsCodeId("L5Q") >= 0);
static_assert(obsCodeId("C0C") == kNoObsCode && obsCodeId("P1C") == kNoObsCode && obsCodeId("C1F") == kNoObsCode);

char rinex2Attribute(int systemCode, char originalType, int band) {
    switch (systemCode) {
        case kGps:
        case kGlonass:
            if (band == 1 || band == 2) return originalType == 'C' ? 'C' : 'P';
            if (band == 5 || band == 3) return 'I';
            break;
        case kSbas:
            if (band == 1) return 'C';
            if (band == 5) return 'I';
            break;
        case kGalileo:
            if (band == 1 || band == 6) return 'A';
            if (band == 5 || band == 7 || band == 8) return 'I';
            break;
        default:
            break;
    }
    return 'C';
}

}  // namespace

std::string_view obsCodeText(int id) {
    if (id < 0 || id >= kObsCodeCount) return {};
    return std::string_view(kCodeTexts[id].data(), 3);
}

std::string rinex2ToRinex3Code(int systemCode, std::string_view rinex2Type) {
    std::string code = "TNC";
    const char type = rinex2Type.empty() ? ' ' : rinex2Type[0];
    const char digit = rinex2Type.size() > 1 ? rinex2Type[1] : ' ';
    if (type == 'C' || type == 'P') {
        code[0] = 'C';
    } else if (type == 'L' || type == 'S' || type == 'D') {
        code[0] = type;
    }
    const bool hasBand = digit >= '0' && digit <= '9';
    if (hasBand) code[1] = digit;
    code[2] = rinex2Attribute(systemCode, type, hasBand ? digit - '0' : -1);
    return code;
}

}  // namespace velarix
