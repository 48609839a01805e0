#include "gnss/time.h"

#include <gtest/gtest.h>

TEST(JulianDayNumber, KnownDatesAndCalendarReform) {
    EXPECT_EQ(JulianDayNumber(2000, 1, 1), 2451545);
    EXPECT_EQ(JulianDayNumber(1980, 1, 6), 2444245);
    EXPECT_EQ(JulianDayNumber(1858, 11, 17), 2400001);
    EXPECT_EQ(JulianDayNumber(1582, 10, 4), 2299160);   // last Julian day
    EXPECT_EQ(JulianDayNumber(1582, 10, 15), 2299161);  // first Gregorian day
    EXPECT_EQ(JulianDayNumber(1900, 3, 1), 2415080);    // 1900 is not a leap year
    EXPECT_EQ(JulianDayNumber(2000, 3, 1), 2451605);    // 2000 is
    EXPECT_EQ(JulianDayNumber(-4713, 1, 1), 0);  // 4713 BC, the JD origin
    EXPECT_EQ(JulianDayNumber(-1, 12, 31) + 1, JulianDayNumber(1, 1, 1));
    EXPECT_EQ(JulianDayNumber(0, 6, 1), JulianDayNumber(-1, 6, 1));  // year 0 is 1 BC
}

TEST(CalendarFromJdn, RoundTripsEveryDayAcrossBothCalendars) {
    for (std::int32_t jdn = 1000; jdn < 2600000; jdn += 7) {
        std::int32_t y = 0, m = 0, d = 0;
        CalendarFromJdn(jdn, y, m, d);
        ASSERT_NE(y, 0);
        ASSERT_EQ(JulianDayNumber(y, m, d), jdn) << y << "-" << m << "-" << d;
    }
    std::int32_t y = 0, m = 0, d = 0;
    CalendarFromJdn(2299160, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 15821004);
    CalendarFromJdn(1721423, y, m, d);  // the day before 1 AD January 1
    EXPECT_EQ(y, -1);
}

TEST(SplitSecondsOfDay, WrapsAndRoundsToTheMillisecond) {
    std::int32_t h = -1, m = -1;
    double s = -1;
    EXPECT_EQ(SplitSecondsOfDay(86400.0, h, m, s), 0);
    EXPECT_EQ(h * 3600 + m * 60, 0);
    EXPECT_DOUBLE_EQ(s, 0.0);
    SplitSecondsOfDay(-30.0, h, m, s);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(m, 59);
    EXPECT_DOUBLE_EQ(s, 30.0);
    SplitSecondsOfDay(3599.9996, h, m, s);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(m, 0);
    EXPECT_NEAR(s, 0.0, 1e-9);
    SplitSecondsOfDay(43200.0004, h, m, s);
    EXPECT_EQ(h, 12);
    EXPECT_NEAR(s, 0.0, 1e-9);
    SplitSecondsOfDay(10.0005, h, m, s);  // exactly halfway rounds up
    EXPECT_NEAR(s, 10.001, 1e-9);
    // Rounding up to the next midnight is reported, never shown as hour 24.
    EXPECT_EQ(SplitSecondsOfDay(86399.9998, h, m, s), 1);
    EXPECT_EQ(h, 0);
}

TEST(DateTime, MjdAndGpsWeekConversions) {
    DateTime t;
    EXPECT_EQ(t.mjdMode, 1u);
    t.FromMjd(51544.5);
    EXPECT_EQ(t.year, 2000);
    EXPECT_EQ(t.month, 1);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.hour, 12);
    EXPECT_EQ(t.minute, 0);
    EXPECT_DOUBLE_EQ(t.ToMjd(), 51544.5);

    std::uint32_t week = 99;
    double sow = -1;
    t.ToGpsWeek(week, sow);
    EXPECT_EQ(week, 1042u);
    EXPECT_DOUBLE_EQ(sow, 561600.0);

    DateTime origin{1, 1980, 1, 6, 0, 0, 0.0};
    origin.ToGpsWeek(week, sow);
    EXPECT_EQ(week, 0u);
    EXPECT_DOUBLE_EQ(sow, 0.0);

    DateTime back;
    back.FromGpsWeek(2086, 3 * 86400.0 + 3600.5);  // 2020-01-01 01:00:00.5
    EXPECT_EQ(back.year * 10000 + back.month * 100 + back.day, 20200101);
    EXPECT_EQ(back.hour, 1);
    EXPECT_DOUBLE_EQ(back.second, 0.5);
    EXPECT_EQ(back.DayOfYear(), 1);

    // An instant a fraction of a millisecond before midnight belongs to the next day.
    DateTime late;
    late.FromMjd(58849.0 - 1e-9);
    EXPECT_EQ(late.year * 10000 + late.month * 100 + late.day, 20200101);
    EXPECT_EQ(late.hour, 0);
}

TEST(DayOfYear, LeapYearsBothWays) {
    std::int32_t m = 0, d = 0;
    MonthDayFromDayOfYear(2020, 60, m, d);
    EXPECT_EQ(m * 100 + d, 229);
    MonthDayFromDayOfYear(2019, 60, m, d);
    EXPECT_EQ(m * 100 + d, 301);
    EXPECT_EQ(DayOfYear(2016, 12, 31), 366);
    EXPECT_EQ(DayOfYear(1900, 12, 31), 365);
}
