#include "geodesy/time.h"

#include <gtest/gtest.h>

#include <tuple>

namespace velarix {

TEST(Calendar, JulianDayNumbersSecondsOfDayMjdAndGpsWeek) {
    // The last Julian and the first Gregorian day, the origin; 1900 is not a leap year.
    EXPECT_TRUE(JulianDayNumber(1582, 10, 4) == 2299160 && JulianDayNumber(1582, 10, 15) == 2299161);
    EXPECT_TRUE(JulianDayNumber(-4713, 1, 1) == 0 && JulianDayNumber(1900, 3, 1) == 2415080);
    EXPECT_EQ(JulianDayNumber(0, 6, 1), JulianDayNumber(-1, 6, 1));  // year 0 is 1 BC
    for (std::int32_t jdn = 1000; jdn < 2600000; jdn += 7) {
        std::int32_t y = 0, m = 0, d = 0;
        CalendarFromJdn(jdn, y, m, d);
        ASSERT_NE(y, 0);
        ASSERT_EQ(JulianDayNumber(y, m, d), jdn) << y << "-" << m << "-" << d;
    }

    std::int32_t h = -1, m = -1;
    double s = -1;
    SplitSecondsOfDay(-30.0, h, m, s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 235930.0);
    SplitSecondsOfDay(10.0005, h, m, s);  // exactly halfway between milliseconds: up
    EXPECT_NEAR(s, 10.001, 1e-9);
    // Rounding up to the next midnight is reported, never shown as hour 24.
    EXPECT_TRUE(SplitSecondsOfDay(86399.9998, h, m, s) == 1 && h == 0) << h;

    DateTime t;
    t.FromMjd(51544.5);
    EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour), std::tuple(2000, 1, 1, 12));
    EXPECT_DOUBLE_EQ(t.ToMjd(), 51544.5);
    std::uint32_t week = 99;
    double sow = -1;
    t.ToGpsWeek(week, sow);
    EXPECT_TRUE(week == 1042u && sow == 561600.0) << week << " " << sow;
    t.FromGpsWeek(2086, 3 * 86400.0 + 3600.5);  // 2020-01-01 01:00:00.5
    EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour), std::tuple(2020, 1, 1, 1));
    EXPECT_DOUBLE_EQ(t.second, 0.5);
    EXPECT_EQ(t.DayOfYear(), 1);
    // An instant a fraction of a millisecond before midnight belongs to the next day.
    t.FromMjd(58849.0 - 1e-9);
    EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour), std::tuple(2020, 1, 1, 0));
}

}  // namespace velarix
