#pragma once
// RINEX 3 observation codes ("C1C", "L2W", "S5Q": type, band digit, attribute letter) and
// their integer identifiers. The master list is every type C, L, D, S with every band 1..9
// and every attribute letter that RINEX 3.00 to 3.05 define for any system; the identifier
// is computed from the three characters, so lookups in both directions are table reads.
// Identifiers never leave the process.
#include <array>
#include <string>
#include <string_view>

namespace velarix {

constexpr int kNoObsCode = -1;

constexpr std::string_view kObsTypes = "CLDS";
constexpr int kObsBandCount = 9;  // bands 1..9
constexpr std::string_view kObsAttributes = "ABCDEILMNPQSWXYZ";
constexpr int kObsCodeCount =
    static_cast<int>(kObsTypes.size()) * kObsBandCount * static_cast<int>(kObsAttributes.size());

namespace obs_codes_detail {
constexpr int indexIn(std::string_view set, char c) {
    for (size_t i = 0; i < set.size(); ++i) {
        if (set[i] == c) return static_cast<int>(i);
    }
    return -1;
}
}  // namespace obs_codes_detail

// Identifier of a three-character code; kNoObsCode when the code is not in the master list.
constexpr int obsCodeId(std::string_view code) {
    if (code.size() != 3) return kNoObsCode;
    const int type = obs_codes_detail::indexIn(kObsTypes, code[0]);
    const int band = code[1] - '1';
    const int attribute = obs_codes_detail::indexIn(kObsAttributes, code[2]);
    if (type < 0 || band < 0 || band >= kObsBandCount || attribute < 0) return kNoObsCode;
    return (type * kObsBandCount + band) * static_cast<int>(kObsAttributes.size()) + attribute;
}

// The code of an identifier; "" for kNoObsCode or any other number outside the list.
std::string_view obsCodeText(int id);

// RINEX 2 observable ("P1", "L2", "C5") as the RINEX 3 code of a system's signal: C and P
// become C, L, S and D stay, the band is the digit, and the attribute follows the system
// (GPS/GLONASS bands 1-2: C for C codes, P otherwise; bands 3/5: I; SBAS 1: C, 5: I;
// Galileo 1/6: A, 5/7/8: I; anything else C). Unknown parts keep the "TNC" placeholder.
std::string rinex2ToRinex3Code(int systemCode, std::string_view rinex2Type);

}  // namespace velarix
