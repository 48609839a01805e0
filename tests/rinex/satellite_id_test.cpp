#include "rinex/satellite_id.h"

#include <gtest/gtest.h>

TEST(SatelliteId, CheckedParseEnforcesEachSystemsRange) {
    SatId id;
    EXPECT_EQ(parseSatIdChecked("G05", id), 0);
    EXPECT_EQ(id.satNo, 5);
    EXPECT_EQ(parseSatIdChecked("R12", id), 0);
    EXPECT_EQ(id.satNo, 212);
    EXPECT_EQ(id.letter, 'R');
    EXPECT_EQ(parseSatIdChecked("e11", id), 0);
    EXPECT_EQ(id.satNo, 311);
    EXPECT_EQ(parseSatIdChecked("C35", id), 0);
    EXPECT_EQ(id.satNo, 435);
    EXPECT_EQ(parseSatIdChecked(" 7", id), 0);
    EXPECT_EQ(id.satNo, 7);
    EXPECT_EQ(parseSatIdChecked("7", id), 0);
    EXPECT_EQ(id.satNo, 7);
    EXPECT_EQ(id.systemCode, kGps);
    EXPECT_EQ(parseSatIdChecked("S20", id), 0);
    EXPECT_EQ(id.satNo, 120);

    EXPECT_EQ(parseSatIdChecked("S19", id), -2);
    EXPECT_EQ(id.satNo, 19);  // the raw PRN
    EXPECT_EQ(parseSatIdChecked("S43", id), -2);
    EXPECT_EQ(parseSatIdChecked("G33", id), -2);
    EXPECT_EQ(parseSatIdChecked("J01", id), -2);  // QZSS is never accepted here
    EXPECT_EQ(parseSatIdChecked("I08", id), -2);
    EXPECT_EQ(parseSatIdChecked("G00", id), -1);
    EXPECT_EQ(id.satNo, -1);
    EXPECT_EQ(parseSatIdChecked("X05", id), 0);  // unknown letters: any positive number
    EXPECT_EQ(id.satNo, 905);
    EXPECT_EQ(id.letter, '?');

    id.satNo = 42;
    EXPECT_EQ(parseSatIdChecked("   ", id), 0);
    EXPECT_EQ(id.satNo, 42);  // blanks leave the identifier unchanged
}

TEST(SatelliteId, UncheckedNumbersAndSystemOfANumber) {
    EXPECT_EQ(satNoUnchecked("J01"), 501);
    EXPECT_EQ(satNoUnchecked("G33"), 33);
    EXPECT_EQ(satNoUnchecked("I10"), 610);
    EXPECT_EQ(satNoUnchecked(" 5"), 5);
    EXPECT_EQ(satNoUnchecked("12"), 12);
    EXPECT_EQ(satNoUnchecked("R  "), -1);
    EXPECT_EQ(satNoUnchecked("Gx1"), -1);
    EXPECT_EQ(systemOf(5), kGps);
    EXPECT_EQ(systemOf(120), kSbas);
    EXPECT_EQ(systemOf(607), kIrnss);
    EXPECT_STREQ(systemName(kGlonass), "Glonass");
    EXPECT_STREQ(systemName(42), "Unknown");
    EXPECT_TRUE(isGpsPrn(32));
    EXPECT_FALSE(isGpsPrn(607));
}
