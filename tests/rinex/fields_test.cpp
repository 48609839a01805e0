// Fixed-column fields of observation and navigation lines, and the time rules of broadcast records.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "geodesy/time.h"
#include "platform/strfmt.h"
#include "rinex/fixed_fields.h"
#include "rinex/leap_seconds.h"
#include "rinex/nav_fields.h"
#include "rinex/nav_records.h"
#include "rinex/nav_time.h"

namespace velarix {

TEST(FixedFields, NumbersIntegersAndColumns) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> magnitude(-9e8, 9e8);
    double value = 1.0;
    for (int i = 0; i < 20000; ++i) {  // bit for bit as strtod reads them
        const std::string field = strfmt("%14.*f", static_cast<int>(random() % 6), magnitude(random));
        ASSERT_EQ(parseDoubleField(field, value), FieldStatus::kNumber) << field;
        ASSERT_EQ(value, std::strtod(field.c_str(), nullptr)) << field;
    }
    EXPECT_EQ(parseDoubleField("              ", value), FieldStatus::kBlank);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(parseDoubleField("-.5D+03", value), FieldStatus::kNumber);  // a Fortran exponent
    EXPECT_EQ(value, -500.0);
    EXPECT_EQ(parseDoubleField("  +1.25E+02 ", value), FieldStatus::kNumber);  // a plus sign before an exponent form
    EXPECT_EQ(value, 125.0);
    EXPECT_EQ(parseDoubleField("+-1.5E2", value), FieldStatus::kInvalid);
    // strtod reads these too, but RINEX numbers are decimal.
    for (const char* text : {"12.3x", "nan", "inf", "0x1p3", "-", ".", "1 2", "1e999", "1.2.3"}) {
        EXPECT_EQ(parseDoubleField(text, value), FieldStatus::kInvalid) << text;
        EXPECT_EQ(value, 0.0) << text;
    }
    long integer = 7;
    EXPECT_EQ(parseIntField(" -999999999 ", integer), FieldStatus::kNumber);
    EXPECT_EQ(integer, -999999999);
    for (const char* text : {"4.0", "x", "1 2", "9999999999"}) {
        EXPECT_EQ(parseIntField(text, integer), FieldStatus::kInvalid) << text;
    }
    EXPECT_EQ(columns("G05  20000000.12317", 18, 40), "17");  // clipped at the end of the line
}

TEST(NavFields, FieldsDatesEpochLinesAndIndices) {
    // An orbit line whose trailing blanks were stripped, values touching each other.
    double values[4] = {9, 9, 9, 9};
    ASSERT_TRUE(parseNavFields("    -1.253623647028E-10-1.000000000000D+00", 4, values));
    EXPECT_EQ(std::vector<double>(values, values + 4), (std::vector<double>{-1.253623647028e-10, -1.0, 0.0, 0.0}));

    NavEpochFields f;
    ASSERT_TRUE(parseEpochDate("79  1  1  0  0  0.0", f));
    EXPECT_EQ(f.year, 2079);
    ASSERT_TRUE(parseEpochDate("20 12 31 23 59 60.0", f));
    EXPECT_EQ(f.year, 2020);
    EXPECT_DOUBLE_EQ(epochMjd(f), MjdFromCivil(2021, 1, 1, 0, 0, 0.0));  // 60 s: the next minute
    for (const char* bad : {"2024 1.5 10 00 00 00", "2024 01 32 00 00 00", "2024 01 10 24 00 00", "2024 01 10 00 60 00",
                            "2024 01 10 00 00 61", "1979 12 31 00 00 00"}) {
        EXPECT_FALSE(parseEpochDate(bad, f)) << bad;
    }
    // A RINEX 2 line read as RINEX 3: the identifier runs into the year.
    RawNavRecord r;
    EXPECT_FALSE(parseNavEpochLine(" 6 99  9  2 17 51 44.0 -.839701388031D-03 -.165982783074D-10  .000000000000D+00",
                                   NavLayout::kRinex3, r));

    const std::pair<double, int> accuracy[] = {{2.4, 0}, {2.8, 1}, {4.85, 2}, {6144.0, 14}, {6144.1, 15}, {-1.0, 15}};
    for (const auto& [metres, index] : accuracy) EXPECT_EQ(accuracyIndexFromMetres(metres), index) << metres;
    EXPECT_EQ(roundToInt(2295.9999999), 2296);
    EXPECT_EQ(roundToInt(-1e300), -2147483647 - 1);
}

TEST(NavTime, HalfWeeksWeekNumbersAndLeapSeconds) {
    const double t = 60000.0;
    EXPECT_DOUBLE_EQ(withinHalfWeek(t + 3.5 + 1.0 / 86400, t), t - 3.5 + 1.0 / 86400);
    EXPECT_DOUBLE_EQ(withinHalfWeek(t + 3.5, t), t + 3.5);  // exactly half a week stays
    EXPECT_EQ(gpsWeekOf(MjdFromCivil(2024, 1, 13, 23, 59, 59.0)), 2296);
    EXPECT_EQ(GpsUtcLeapSeconds(MjdFromCivil(1980, 1, 6, 0, 0, 0.0)), 0);
    EXPECT_EQ(GpsUtcLeapSeconds(MjdFromCivil(2006, 1, 1, 0, 0, 0.0)), 14);
    EXPECT_EQ(GpsUtcLeapSeconds(MjdFromCivil(2016, 12, 31, 23, 59, 59.0)), 17);
    EXPECT_EQ(GpsUtcLeapSeconds(MjdFromCivil(2017, 1, 1, 0, 0, 0.0)), 18);
}

}  // namespace velarix
