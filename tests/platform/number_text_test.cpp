#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace velarix {

namespace {

template <typename T>
std::string viaPrintf(const char* format, T value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

template <typename T>
std::string viaAppend(PrintfConversion conversion, T value) {
    std::string text = "x";  // appends, never replaces
    AppendNumber(text, conversion, value);
    return text.substr(1);
}

// Every value under every conversion the products use, and a few more flags.
#define EXPECT_SAME_AS_PRINTF(FORMAT, VALUES)                                        \
    for (const auto value : VALUES) {                                                \
        EXPECT_EQ(viaAppend(FORMAT, value), viaPrintf(FORMAT, value)) << FORMAT << " " << value; \
    }

std::vector<double> doubles() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.375, -0.125, 0.005, 0.015,
                                  0.0005, 1.0005, 2.675, 1e-7, -1e-7, 0.00049999, 99.995, -99.995, 999999.5,
                                  58849.99999999, 123456789012345678.0, 1e22, -1e300,
                                  std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                                  nan, -nan, inf, -inf};
    // Exact decimal ties: odd multiples of 1/128 end in 5 at the 7th decimal, of 1/16 at the
    // 4th, of 1/8 at the 3rd, of 1/2 at the 1st; printf breaks them to even.
    for (int k = -1024; k <= 1024; ++k) values.push_back(k / 128.0);
    for (int k = 0; k < 200; ++k) values.push_back(58849.0 + (2 * k + 1) / 128.0);
    std::mt19937_64 random(20200101);
    std::uniform_real_distribution<double> tec(-50.0, 400.0);
    std::uniform_real_distribution<double> mjd(40000.0, 70000.0);
    std::uniform_int_distribution<int> exponent(-30, 60);
    for (int k = 0; k < 20000; ++k) {
        values.push_back(tec(random));
        values.push_back(mjd(random));
        values.push_back(std::ldexp(tec(random), exponent(random)));
        // Values on a printed grid, where a decimal tie is nearest.
        values.push_back(std::round(tec(random) * 1000.0) / 1000.0 + 0.0005);
    }
    return values;
}

}  // namespace

TEST(NumberText, FixedPointIsByteIdenticalToPrintf) {
    const std::vector<double> values = doubles();
    EXPECT_SAME_AS_PRINTF("%5.6lf", values);
    EXPECT_SAME_AS_PRINTF("%2.6lf", values);
    EXPECT_SAME_AS_PRINTF("%2.2lf", values);
    EXPECT_SAME_AS_PRINTF("%2.3lf", values);
    EXPECT_SAME_AS_PRINTF("%1.3lf", values);
    EXPECT_SAME_AS_PRINTF("% 9.3lf", values);
    EXPECT_SAME_AS_PRINTF("% 4.0lf", values);
    EXPECT_SAME_AS_PRINTF("% 13.4lf", values);
    EXPECT_SAME_AS_PRINTF("%6.5f", values);
    EXPECT_SAME_AS_PRINTF("%.8f", values);
    EXPECT_SAME_AS_PRINTF("%f", values);
    EXPECT_SAME_AS_PRINTF("%+012.3f", values);
    EXPECT_SAME_AS_PRINTF("%-12.1f", values);
    EXPECT_SAME_AS_PRINTF("%030.0f", values);
}

TEST(NumberText, IntegersAreByteIdenticalToPrintf) {
    std::vector<long> values = {0, 1, -1, 7, 9, 10, 32, -32, 99, 100, 12345, -12345, 999999, LONG_MAX, LONG_MIN};
    for (long k = -300; k <= 300; k += 7) values.push_back(k);
    EXPECT_SAME_AS_PRINTF("%2ld", values);
    EXPECT_SAME_AS_PRINTF("%02ld", values);
    EXPECT_SAME_AS_PRINTF("%ld", values);
    EXPECT_SAME_AS_PRINTF("% 5.0ld", values);  // precision 0: no digit for 0
    EXPECT_SAME_AS_PRINTF("% 7.0ld", values);
    EXPECT_SAME_AS_PRINTF("% 4ld", values);
    EXPECT_SAME_AS_PRINTF("%+06ld", values);
    EXPECT_SAME_AS_PRINTF("%-5ld", values);
    EXPECT_SAME_AS_PRINTF("%08.3ld", values);  // a precision switches the zeros off
    const std::vector<int> ints = {0, 5, -5, INT_MAX, INT_MIN};
    EXPECT_SAME_AS_PRINTF("% 4d", ints);
    EXPECT_SAME_AS_PRINTF("%03d", ints);
}

}  // namespace velarix
