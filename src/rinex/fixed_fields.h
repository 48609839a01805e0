#pragma once
// Fixed-column fields of RINEX lines. Columns are counted from 1 as in the format
// documents; the part of a field that lies past the end of the line reads as blanks, which
// is how RINEX treats lines whose trailing blanks were stripped.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velarix {

enum class FieldStatus { kNumber, kBlank, kInvalid };

// Columns first..last (inclusive), clipped to the line.
constexpr std::string_view columns(std::string_view line, std::size_t first, std::size_t last) {
    if (first == 0 || first > line.size() || last < first) return {};
    return line.substr(first - 1, last - first + 1);
}

// Text from column `first` on.
constexpr std::string_view columnsFrom(std::string_view line, std::size_t first) {
    return first == 0 || first > line.size() ? std::string_view() : line.substr(first - 1);
}

constexpr bool isBlankChar(char c) { return c == ' ' || c == '\t'; }

constexpr bool isBlank(std::string_view text) {
    for (char c : text) {
        if (!isBlankChar(c)) return false;
    }
    return true;
}

// Column `column` is blank or lies past the end of the line.
constexpr bool isBlankAt(std::string_view line, std::size_t column) {
    return column > line.size() || isBlankChar(line[column - 1]);
}

// A one-digit indicator (loss of lock, signal strength) in column `column`; 0 when the
// column is blank, holds no digit or lies past the end of the line.
constexpr int indicatorAt(std::string_view line, std::size_t column) {
    if (column == 0 || column > line.size()) return 0;
    const char c = line[column - 1];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

// An integer with blanks around it; values beyond +-999999999 are kInvalid.
FieldStatus parseIntField(std::string_view field, long& value);

namespace fixed_fields_detail {
FieldStatus parseDoubleSlow(std::string_view field, double& value);
inline constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                          1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
}  // namespace fixed_fields_detail

// A decimal number with blanks around it ("  -1234.567"; Fortran "1.5D+03" too). Blank:
// value 0. Anything that is not one finite number is kInvalid (value 0).
// The common observation form (at most 15 digits, no exponent) is read without strtod: an
// integer divided by an exact power of ten rounds exactly as strtod does.
inline FieldStatus parseDoubleField(std::string_view field, double& value) {
    std::size_t i = 0;
    const std::size_t n = field.size();
    while (i < n && isBlankChar(field[i])) ++i;
    if (i == n) {
        value = 0.0;
        return FieldStatus::kBlank;
    }
    bool negative = false;
    if (field[i] == '-' || field[i] == '+') negative = field[i++] == '-';
    std::int64_t mantissa = 0;
    int digits = 0;
    int fractionDigits = -1;  // -1: no point yet
    for (; i < n; ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9') {
            if (digits < 16) mantissa = mantissa * 10 + (c - '0');
            ++digits;
            if (fractionDigits >= 0) ++fractionDigits;
        } else if (c == '.' && fractionDigits < 0) {
            fractionDigits = 0;
        } else {
            break;
        }
    }
    std::size_t j = i;
    while (j < n && isBlankChar(field[j])) ++j;
    if (j != n || digits == 0 || digits > 15) return fixed_fields_detail::parseDoubleSlow(field, value);
    const double magnitude =
        fractionDigits > 0 ? static_cast<double>(mantissa) / fixed_fields_detail::kPowersOfTen[fractionDigits]
                           : static_cast<double>(mantissa);
    value = negative ? -magnitude : magnitude;
    return FieldStatus::kNumber;
}

}  // namespace velarix
