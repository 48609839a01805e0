// Satellite identifiers and observation codes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "rinex/obs_codes.h"
#include "rinex/satellite_id.h"

namespace velarix {

TEST(SatelliteId, CheckedParseEnforcesEachSystemsRange) {
    const struct {
        const char* text;
        int result;
        int satNo;  // the raw PRN when out of range
    } cases[] = {{"R12", 0, 212}, {"e11", 0, 311}, {"C35", 0, 435}, {" 7", 0, 7},   {"S20", 0, 120}, {"X05", 0, 905},
                 {"S19", -2, 19}, {"S43", -2, 43}, {"G33", -2, 33}, {"J01", -2, 1}, {"I08", -2, 8},  {"G00", -1, -1}};
    for (const auto& c : cases) {
        SatId id;
        EXPECT_EQ(parseSatIdChecked(c.text, id), c.result) << c.text;
        EXPECT_EQ(id.satNo, c.satNo) << c.text;
    }
    SatId id;
    id.satNo = 42;
    EXPECT_EQ(parseSatIdChecked("   ", id), 0);
    EXPECT_EQ(id.satNo, 42);  // blanks leave the identifier unchanged

    EXPECT_EQ(satNoUnchecked("J01"), 501);  // no range check
    EXPECT_EQ(satNoUnchecked("Gx1"), -1);
}

TEST(ObsCodes, EveryCodeOfTheStandardsHasItsOwnIdentifier) {
    // Attribute letters of RINEX 3.00-3.05 per band 1..9 for GPS, GLONASS, Galileo, SBAS, QZSS, BeiDou, IRNSS.
    const char* const defined[][9] = {{"CSLXPWYMN", "CDSLXPWYMN", "", "", "IQX", "", "", "", ""},
                                      {"CP", "CP", "IQX", "ABX", "", "ABX", "", "", ""},
                                      {"ABCXZ", "", "", "", "IQX", "ABCXZ", "IQX", "IQX", ""},
                                      {"C", "", "", "", "IQX", "", "", "", ""},
                                      {"CESLXZB", "SLX", "", "", "IQXDPZ", "SLXEZ", "", "", ""},
                                      {"DPXASLZ", "IQX", "", "", "DPX", "IQXDPZA", "IQXDPZ", "DPX", ""},
                                      {"", "", "", "", "ABCX", "", "", "", "ABCX"}};
    int count = 0;
    for (const auto& bands : defined) {
        for (int band = 1; band <= 9; ++band) {
            for (const char* attribute = bands[band - 1]; *attribute != '\0'; ++attribute) {
                for (char type : std::string("CLDS")) {
                    const std::string code{type, static_cast<char>('0' + band), *attribute};
                    ASSERT_NE(obsCodeId(code), kNoObsCode) << code;
                    EXPECT_EQ(obsCodeText(obsCodeId(code)), code);
                    ++count;
                }
            }
        }
    }
    EXPECT_GT(count, 300);
    std::set<std::string> texts;  // one-to-one over all identifiers
    for (int id = 0; id < kObsCodeCount; ++id) {
        EXPECT_EQ(obsCodeId(obsCodeText(id)), id);
        texts.insert(std::string(obsCodeText(id)));
    }
    EXPECT_EQ(texts.size(), static_cast<size_t>(kObsCodeCount));
    for (const char* text : {"", "C1", "C1CC", "C0C", "P1C", "C1F", "c1c"})
        EXPECT_EQ(obsCodeId(text), kNoObsCode) << text;
    EXPECT_EQ(obsCodeText(kObsCodeCount), "");
}

TEST(ObsCodes, Rinex2ObservablesBecomeTheSystemsRinex3Codes) {
    const struct {
        int system;
        const char* rinex2;
        const char* rinex3;
    } cases[] = {{kGps, "P1", "C1P"},     {kGps, "C1", "C1C"},     {kGps, "L1", "L1P"},    {kGps, "S2", "S2P"},
                 {kGps, "C5", "C5I"},     {kGlonass, "L3", "L3I"}, {kSbas, "L1", "L1C"},   {kSbas, "C5", "C5I"},
                 {kGalileo, "C1", "C1A"}, {kGalileo, "C7", "C7I"}, {kBeiDou, "C2", "C2C"}, {kGps, "C7", "C7C"},
                 {kGps, "  ", "TNC"}};
    for (const auto& c : cases) EXPECT_EQ(rinex2ToRinex3Code(c.system, c.rinex2), c.rinex3) << c.rinex2;
    EXPECT_EQ(obsCodeId(rinex2ToRinex3Code(kGps, "T1")), kNoObsCode);  // Transit has no RINEX 3 code
}

}  // namespace velarix
