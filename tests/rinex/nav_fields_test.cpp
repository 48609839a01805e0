#include "rinex/nav_fields.h"

#include <gtest/gtest.h>

#include "gnss/time.h"
#include "rinex/leap_seconds.h"
#include "rinex/nav_records.h"
#include "rinex/nav_time.h"

TEST(NavFields, NumbersWithFortranExponents) {
    double v = -1.0;
    EXPECT_TRUE(parseNavNumber("  -.839701388031D-03", v));
    EXPECT_DOUBLE_EQ(v, -0.839701388031e-3);
    EXPECT_TRUE(parseNavNumber(".1676d-07", v));
    EXPECT_DOUBLE_EQ(v, 0.1676e-7);
    EXPECT_TRUE(parseNavNumber(" 5.154025251389E+03", v));
    EXPECT_DOUBLE_EQ(v, 5154.025251389);
    EXPECT_TRUE(parseNavNumber("+1.5e2", v));
    EXPECT_DOUBLE_EQ(v, 150.0);
    EXPECT_TRUE(parseNavNumber("   ", v));
    EXPECT_DOUBLE_EQ(v, 0.0);
    for (const char* bad : {"1.5D", "1.0x", "nan", "inf", "1e999", "0x10", "1.2.3", "D+05", "--1"}) {
        EXPECT_FALSE(parseNavNumber(bad, v)) << bad;
    }
}

TEST(NavFields, NineteenCharacterFieldsFromAColumn) {
    double values[4] = {9, 9, 9, 9};
    // An orbit line whose trailing blanks were stripped, values touching each other.
    ASSERT_TRUE(parseNavFields("    -1.253623647028E-10-1.000000000000E+00", 4, values));
    EXPECT_DOUBLE_EQ(values[0], -1.253623647028e-10);
    EXPECT_DOUBLE_EQ(values[1], -1.0);
    EXPECT_DOUBLE_EQ(values[2], 0.0);
    EXPECT_DOUBLE_EQ(values[3], 0.0);
    ASSERT_TRUE(parseNavFields("    0.720000000000D+02-0.195625000000D+02", 3, values));
    EXPECT_DOUBLE_EQ(values[0], 72.0);
    EXPECT_DOUBLE_EQ(values[1], -19.5625);
    EXPECT_FALSE(parseNavFields("    -1.253623647028E-10 junk", 4, values));
    EXPECT_TRUE(parseNavFields("", 4, values));
}

TEST(NavFields, EpochDatesAsSixNumbers) {
    NavEpochFields f;
    ASSERT_TRUE(parseEpochDate("2024 01 10 07 59 44", f));
    EXPECT_EQ(f.year, 2024);
    EXPECT_EQ(f.minute, 59);
    EXPECT_DOUBLE_EQ(f.second, 44.0);
    ASSERT_TRUE(parseEpochDate("79  1  1  0  0  0.0", f));
    EXPECT_EQ(f.year, 2079);
    ASSERT_TRUE(parseEpochDate("80  1  6  0  0  0.0", f));
    EXPECT_EQ(f.year, 1980);
    ASSERT_TRUE(parseEpochDate("20 12 31 23 59 60.0", f));
    EXPECT_DOUBLE_EQ(epochMjd(f), MjdFromCivil(2021, 1, 1, 0, 0, 0.0));  // 60 s: the next minute
    EXPECT_FALSE(parseEpochDate("2024 01 10 00 00", f));                 // five numbers
    EXPECT_FALSE(parseEpochDate("2024 01 10 00 00 0x", f));
    EXPECT_FALSE(parseEpochDate("2024 1.5 10 00 00 00", f));
    EXPECT_FALSE(parseEpochDate("2024 13 10 00 00 00", f));
    EXPECT_FALSE(parseEpochDate("2024 01 32 00 00 00", f));
    EXPECT_FALSE(parseEpochDate("2024 01 10 24 00 00", f));
    EXPECT_FALSE(parseEpochDate("2024 01 10 00 60 00", f));
    EXPECT_FALSE(parseEpochDate("2024 01 10 00 00 61", f));
    EXPECT_FALSE(parseEpochDate("1979 12 31 00 00 00", f));
    EXPECT_FALSE(parseEpochDate("-5 01 10 00 00 00", f));
}

TEST(NavFields, EpochLinesOfBothLayouts) {
    RawNavRecord r;
    ASSERT_TRUE(parseNavEpochLine(" 1 20  1  1  0  0  0.0-0.247901305556D-03-0.121644916362D-10 0.000000000000D+00",
                                  NavLayout::kRinex2, r));
    EXPECT_EQ(r.satNo, 1);
    EXPECT_EQ(r.epoch.year, 2020);
    EXPECT_DOUBLE_EQ(r.clock[0], -0.247901305556e-3);
    EXPECT_DOUBLE_EQ(r.clock[1], -0.121644916362e-10);
    ASSERT_TRUE(parseNavEpochLine("G 5 2014 10 31 22 00 00-0.323241576552D-03 0.432009983342D-11 0.000000000000D+00",
                                  NavLayout::kRinex3, r));
    EXPECT_EQ(r.satNo, 5);
    ASSERT_TRUE(parseNavEpochLine("J01 2020 06 25 11 00 00-2.819551154971e-04 5.684341886081e-12 0.000000000000e+00",
                                  NavLayout::kRinex3, r));
    EXPECT_EQ(r.satNo, 501);
    // A RINEX 2 line read as RINEX 3: the identifier runs into the year.
    EXPECT_FALSE(parseNavEpochLine(" 6 99  9  2 17 51 44.0 -.839701388031D-03 -.165982783074D-10  .000000000000D+00",
                                   NavLayout::kRinex3, r));
    EXPECT_FALSE(parseNavEpochLine("G00 2024 01 10 00 00 00 1.0E+00", NavLayout::kRinex3, r));
    EXPECT_TRUE(isOrbitLine("    -1.2E-10", NavLayout::kRinex3));
    EXPECT_FALSE(isOrbitLine("   -1.2E-10", NavLayout::kRinex3));
    EXPECT_TRUE(isOrbitLine("   -1.2E-10", NavLayout::kRinex2));
    EXPECT_FALSE(isOrbitLine(" E33 2020", NavLayout::kRinex3));
}

TEST(NavFields, AccuracyIndexAndRounding) {
    EXPECT_EQ(accuracyIndexFromMetres(0.0), 0);
    EXPECT_EQ(accuracyIndexFromMetres(2.4), 0);
    EXPECT_EQ(accuracyIndexFromMetres(2.8), 1);
    EXPECT_EQ(accuracyIndexFromMetres(3.12), 1);
    EXPECT_EQ(accuracyIndexFromMetres(4.85), 2);
    EXPECT_EQ(accuracyIndexFromMetres(24.0), 6);
    EXPECT_EQ(accuracyIndexFromMetres(6144.0), 14);
    EXPECT_EQ(accuracyIndexFromMetres(6144.1), 15);
    EXPECT_EQ(accuracyIndexFromMetres(-1.0), 15);
    EXPECT_EQ(roundToInt(2295.9999999), 2296);
    EXPECT_EQ(roundToInt(-3.6), -4);
    EXPECT_EQ(roundToInt(1e300), 2147483647);
    EXPECT_EQ(roundToInt(-1e300), -2147483647 - 1);
}

TEST(NavTime, WeeksHalfWeeksHalfDaysAndQuarterHours) {
    EXPECT_DOUBLE_EQ(gpsWeekMjd(0, 0.0), MjdFromCivil(1980, 1, 6, 0, 0, 0.0));
    EXPECT_DOUBLE_EQ(gpsWeekMjd(2296, 259200.0), MjdFromCivil(2024, 1, 10, 0, 0, 0.0));
    EXPECT_DOUBLE_EQ(beidouWeekMjd(0, 0.0), MjdFromCivil(2006, 1, 1, 0, 0, 0.0));
    EXPECT_DOUBLE_EQ(beidouWeekMjd(940, 259200.0), MjdFromCivil(2024, 1, 10, 0, 0, 0.0));
    EXPECT_EQ(gpsWeekOf(MjdFromCivil(2024, 1, 13, 23, 59, 59.0)), 2296);
    EXPECT_EQ(gpsWeekOf(MjdFromCivil(2024, 1, 14, 0, 0, 0.0)), 2297);

    const double t = 60000.0;
    EXPECT_DOUBLE_EQ(withinHalfWeek(t + 3.5 + 1.0 / 86400, t), t - 3.5 + 1.0 / 86400);
    EXPECT_DOUBLE_EQ(withinHalfWeek(t - 3.5 - 1.0 / 86400, t), t + 3.5 - 1.0 / 86400);
    EXPECT_DOUBLE_EQ(withinHalfWeek(t + 3.5, t), t + 3.5);  // exactly half a week stays
    EXPECT_DOUBLE_EQ(withinHalfDay(t + 0.75, t), t - 0.25);
    EXPECT_DOUBLE_EQ(withinHalfDay(t - 0.75, t), t + 0.25);
    EXPECT_DOUBLE_EQ(withinHalfDay(t + 0.5, t), t + 0.5);

    EXPECT_EQ(roundToQuarterHour(t, 449.0).intervalIndex, 0);
    EXPECT_EQ(roundToQuarterHour(t, 450.0).intervalIndex, 1);
    EXPECT_DOUBLE_EQ(roundToQuarterHour(t, 86399.0).epochMjd, t + 1.0);
    EXPECT_EQ(roundToQuarterHour(t, 86399.0).intervalIndex, 96);
}

TEST(LeapSeconds, EighteenStepsNewestFirst) {
    ASSERT_EQ(kLeapSecondSteps.size(), 18u);
    EXPECT_EQ(kLeapSecondSteps.front().gpsMinusUtc_s, 18);
    EXPECT_EQ(kLeapSecondSteps.back().gpsMinusUtc_s, 1);
    for (size_t i = 0; i < kLeapSecondSteps.size(); ++i) {
        const LeapSecondStep& step = kLeapSecondSteps[i];
        const double start = MjdFromCivil(step.year, step.month, step.day, 0, 0, 0.0);
        EXPECT_EQ(step.gpsMinusUtc_s, 18 - static_cast<int>(i));
        EXPECT_EQ(GpsUtcLeapSeconds(start), step.gpsMinusUtc_s) << step.year;
        EXPECT_EQ(GpsUtcLeapSeconds(start - 1.0 / 86400), step.gpsMinusUtc_s - 1) << step.year;
    }
    EXPECT_EQ(GpsUtcLeapSeconds(MjdFromCivil(1985, 7, 1, 0, 0, 0.0)), 4);
    EXPECT_EQ(GpsUtcLeapSeconds(MjdFromCivil(2006, 1, 1, 0, 0, 0.0)), 14);
    EXPECT_EQ(GpsUtcLeapSeconds(MjdFromCivil(2024, 1, 10, 0, 0, 0.0)), 18);
    EXPECT_EQ(GpsUtcLeapSeconds(MjdFromCivil(1980, 1, 6, 0, 0, 0.0)), 0);
}
