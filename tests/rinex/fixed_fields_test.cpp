#include "platform/text.h"
#include "rinex/fixed_fields.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "platform/strfmt.h"

TEST(FixedFields, NumbersReadAsStrtodReadsThem) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> magnitude(-9e8, 9e8);
    for (int i = 0; i < 200000; ++i) {
        const std::string field = strfmt("%14.*f", static_cast<int>(random() % 6), magnitude(random));
        double value = 1.0;
        ASSERT_EQ(parseDoubleField(field, value), FieldStatus::kNumber) << field;
        ASSERT_EQ(value, std::strtod(field.c_str(), nullptr)) << field;  // bit for bit
    }
    double value = 1.0;
    EXPECT_EQ(parseDoubleField("              ", value), FieldStatus::kBlank);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(parseDoubleField("", value), FieldStatus::kBlank);
    const std::pair<const char*, double> accepted[] = {
        {"-.5", -0.5}, {"1.", 1.0}, {"+5", 5.0}, {"  0.1234567890123 ", 0.1234567890123}, {"1.5D+03", 1500.0},
        {"-2.5e-2", -0.025}, {"12345678901234567", 12345678901234567.0}};
    for (const auto& [text, expected] : accepted) {
        EXPECT_EQ(parseDoubleField(text, value), FieldStatus::kNumber) << text;
        EXPECT_DOUBLE_EQ(value, expected) << text;
    }
    for (const char* text : {"12.3x", "nan", "inf", "0x1p3", "-", ".", "1 2", "1e999", "--1", "1.2.3"}) {
        EXPECT_EQ(parseDoubleField(text, value), FieldStatus::kInvalid) << text;
        EXPECT_EQ(value, 0.0) << text;
    }
}

TEST(FixedFields, IntegersColumnsAndIndicators) {
    long value = 7;
    EXPECT_EQ(parseIntField("  42 ", value), FieldStatus::kNumber);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(parseIntField(" -3", value), FieldStatus::kNumber);
    EXPECT_EQ(value, -3);
    EXPECT_EQ(parseIntField("   ", value), FieldStatus::kBlank);
    EXPECT_EQ(value, 0);
    for (const char* text : {"4.0", "x", "1 2", "9999999999", "-"}) {
        EXPECT_EQ(parseIntField(text, value), FieldStatus::kInvalid) << text;
    }
    EXPECT_EQ(parseIntField("999999999", value), FieldStatus::kNumber);

    const std::string_view line = "G05  20000000.12317";
    EXPECT_EQ(columns(line, 1, 3), "G05");
    EXPECT_EQ(columns(line, 18, 40), "17");  // clipped at the end of the line
    EXPECT_EQ(columns(line, 30, 40), "");
    EXPECT_EQ(columns(line, 0, 3), "");
    EXPECT_TRUE(isBlankAt(line, 4));
    EXPECT_TRUE(isBlankAt(line, 50));
    EXPECT_FALSE(isBlankAt(line, 1));
    EXPECT_EQ(indicatorAt(line, 18), 1);
    EXPECT_EQ(indicatorAt(line, 19), 7);
    EXPECT_EQ(indicatorAt(line, 20), 0);
    EXPECT_EQ(indicatorAt(line, 1), 0);  // a letter
    EXPECT_EQ(trimRight("ab  \t"), "ab");
}
