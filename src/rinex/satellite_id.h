#pragma once
// Satellite identifiers ("G05", "R12", " 7") and the program-wide satellite number:
// satNo = (system code - 1) * 100 + PRN, so GPS satellites keep their PRN and every
// per-satellite table is keyed by one integer. The system code is (satNo + 100) / 100.
#include <string>
#include <string_view>

namespace velarix {

enum SystemCode : int {
    kGps = 1,
    kSbas = 2,
    kGlonass = 3,
    kGalileo = 4,
    kBeiDou = 5,
    kQzss = 6,
    kIrnss = 7,
    kTransit = 8,
    kMixed = 9,
    kUnknownSystem = 10,
};

struct SatId {
    char letter = 'G';       // upper case; '?' for an unknown letter
    int systemCode = kGps;
    int satNo = 0;
};

// System code of a satellite number.
constexpr int systemOf(int satNo) { return (satNo + 100) / 100; }
// GPS satellite numbers 1..32 index the per-PRN tables of the GPS-only stages.
constexpr bool isGpsPrn(int satNo) { return satNo >= 1 && satNo <= 32; }

// "GPS", "SBASGeo", "Glonass", "Galileo", "BeiDou", "QZSS", "IRNSS", "Transit",
// "systemMixed", "Unknown".
const char* systemName(int systemCode);
// System code of an identifier letter (either case); a blank or a digit is GPS.
int systemOfLetter(char letter);

// "G05", "R12", "E11": the letter and the PRN of a satellite number.
std::string satelliteLabel(int satNo);

// Checked parse of up to three characters. 0: accepted. -1: the number is not positive
// (satNo becomes -1). -2: the number is outside the system's range, or the system is
// QZSS (satNo keeps the raw PRN). Blanks only leave `id` as it was, result 0.
int parseSatIdChecked(std::string_view text, SatId& id);

// Unchecked satellite number: the same letters and number reading without a range
// check; -1 when the number is not positive.
int satNoUnchecked(std::string_view text);

}  // namespace velarix
