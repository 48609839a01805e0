#pragma once
// Which RINEX 2 observables make TEC possible, for the header's list and for each
// satellite: P1, P2, L1 and L2; or C1 in place of a missing P1; or, without P1 and P2, C1
// and C2 (accepted with a warning).
#include <string>
#include <string_view>
#include <vector>

namespace velarix {

enum Rinex2ObsBit : unsigned {
    kP1Bit = 1,
    kP2Bit = 2,
    kL1Bit = 4,
    kL2Bit = 8,
    kC1Bit = 16,
    kC2Bit = 32,
};

enum class Rinex2TecRule { kMissing, kComplete, kCodesOnly };

// The bit of a two-character observable; 0 for any other.
unsigned rinex2ObsBit(std::string_view type);
unsigned rinex2PresenceBits(const std::vector<std::string>& types);
Rinex2TecRule rinex2TecRule(unsigned presenceBits);

}  // namespace velarix
