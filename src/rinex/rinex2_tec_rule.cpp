#include "rinex/rinex2_tec_rule.h"

namespace velarix {

unsigned rinex2ObsBit(std::string_view type) {
    if (type == "P1") return kP1Bit;
    if (type == "P2") return kP2Bit;
    if (type == "L1") return kL1Bit;
    if (type == "L2") return kL2Bit;
    if (type == "C1") return kC1Bit;
    if (type == "C2") return kC2Bit;
    return 0;
}

unsigned rinex2PresenceBits(const std::vector<std::string>& types) {
    unsigned bits = 0;
    for (const std::string& type : types) bits |= rinex2ObsBit(type);
    return bits;
}

Rinex2TecRule rinex2TecRule(unsigned bits) {
    const auto has = [bits](unsigned wanted) { return (bits & wanted) == wanted; };
    if (has(kP1Bit | kP2Bit | kL1Bit | kL2Bit)) return Rinex2TecRule::kComplete;
    if (has(kC1Bit | kP2Bit | kL1Bit | kL2Bit) && !has(kP1Bit)) return Rinex2TecRule::kComplete;
    if (has(kC1Bit | kC2Bit | kL1Bit | kL2Bit) && !has(kP1Bit) && !has(kP2Bit)) return Rinex2TecRule::kCodesOnly;
    return Rinex2TecRule::kMissing;
}

}  // namespace velarix
