#include "rinex/obs_codes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "rinex/satellite_id.h"

namespace {

// Band digits and attributes of RINEX 3.00-3.05, per system, for the C/L/D/S types.
struct SystemCodes {
    const char* bands[9];  // attribute letters per band 1..9 ("" for none)
};

const SystemCodes kDefinedCodes[] = {
    {{"CSLXPWYMN", "CDSLXPWYMN", "", "", "IQX", "", "", "", ""}},                   // GPS
    {{"CP", "CP", "IQX", "ABX", "", "ABX", "", "", ""}},                            // GLONASS
    {{"ABCXZ", "", "", "", "IQX", "ABCXZ", "IQX", "IQX", ""}},                       // Galileo
    {{"C", "", "", "", "IQX", "", "", "", ""}},                                     // SBAS
    {{"CESLXZB", "SLX", "", "", "IQXDPZ", "SLXEZ", "", "", ""}},                     // QZSS
    {{"DPXASLZ", "IQX", "", "", "DPX", "IQXDPZA", "IQXDPZ", "DPX", ""}},             // BeiDou
    {{"", "", "", "", "ABCX", "", "", "", "ABCX"}},                                 // IRNSS
};

}  // namespace

TEST(ObsCodes, EveryCodeOfTheStandardsHasItsOwnIdentifier) {
    std::set<int> ids;
    int defined = 0;
    for (const SystemCodes& system : kDefinedCodes) {
        for (int band = 1; band <= 9; ++band) {
            for (const char* attribute = system.bands[band - 1]; *attribute != '\0'; ++attribute) {
                for (char type : std::string("CLDS")) {
                    const std::string code{type, static_cast<char>('0' + band), *attribute};
                    const int id = obsCodeId(code);
                    ASSERT_NE(id, kNoObsCode) << code;
                    EXPECT_EQ(obsCodeText(id), code);
                    ids.insert(id);
                    ++defined;
                }
            }
        }
    }
    EXPECT_GT(defined, 300);
    // The list is one-to-one over all of its identifiers.
    std::set<std::string> texts;
    for (int id = 0; id < kObsCodeCount; ++id) {
        ASSERT_EQ(obsCodeText(id).size(), 3u);
        EXPECT_EQ(obsCodeId(obsCodeText(id)), id);
        texts.insert(std::string(obsCodeText(id)));
    }
    EXPECT_EQ(texts.size(), static_cast<size_t>(kObsCodeCount));
}

TEST(ObsCodes, TextsThatAreNoCodeHaveNoIdentifier) {
    for (const char* text : {"", "C1", "C1CC", "C0C", "P1C", "X1C", "C1F", "c1c", "C1 ", "UNK"}) {
        EXPECT_EQ(obsCodeId(text), kNoObsCode) << text;
    }
    EXPECT_EQ(obsCodeText(kNoObsCode), "");
    EXPECT_EQ(obsCodeText(kObsCodeCount), "");
}

TEST(ObsCodes, Rinex2ObservablesBecomeTheSystemsRinex3Codes) {
    struct Case {
        int system;
        const char* rinex2;
        const char* rinex3;
    };
    const Case cases[] = {
        {kGps, "P1", "C1P"},     {kGps, "C1", "C1C"},     {kGps, "L1", "L1P"},     {kGps, "P2", "C2P"},
        {kGps, "C2", "C2C"},     {kGps, "S2", "S2P"},     {kGps, "D1", "D1P"},     {kGps, "C5", "C5I"},
        {kGps, "L5", "L5I"},     {kGlonass, "C1", "C1C"}, {kGlonass, "P2", "C2P"}, {kGlonass, "L3", "L3I"},
        {kSbas, "C1", "C1C"},    {kSbas, "L1", "L1C"},    {kSbas, "C5", "C5I"},    {kGalileo, "C1", "C1A"},
        {kGalileo, "L6", "L6A"}, {kGalileo, "C7", "C7I"}, {kGalileo, "S8", "S8I"}, {kBeiDou, "C2", "C2C"},
        {kGps, "C7", "C7C"},     {kGps, "T1", "T1P"},     {kGps, "  ", "TNC"},
    };
    for (const Case& c : cases) EXPECT_EQ(rinex2ToRinex3Code(c.system, c.rinex2), c.rinex3) << c.rinex2;
    EXPECT_EQ(obsCodeId(rinex2ToRinex3Code(kGps, "T1")), kNoObsCode);  // Transit has no RINEX 3 code
}
