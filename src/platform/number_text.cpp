#include "platform/number_text.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace velarix {

namespace {

// Sign, zero padding and width around `digits` (the magnitude's text, without sign).
void appendPadded(std::string& text, const PrintfConversion& c, bool negative, std::string_view digits,
                  bool zeroPadAllowed) {
    const char sign = negative ? '-' : c.plusSign ? '+' : c.blankSign ? ' ' : '\0';
    const std::size_t length = digits.size() + (sign != '\0' ? 1 : 0);
    const std::size_t fill = static_cast<std::size_t>(c.width) > length ? c.width - length : 0;
    if (fill > 0 && !c.leftAlign && !(c.zeroPad && zeroPadAllowed)) text.append(fill, ' ');
    if (sign != '\0') text.push_back(sign);
    if (fill > 0 && !c.leftAlign && c.zeroPad && zeroPadAllowed) text.append(fill, '0');
    text.append(digits);
    if (fill > 0 && c.leftAlign) text.append(fill, ' ');
}

}  // namespace

void AppendNumber(std::string& text, PrintfConversion conversion, double value) {
    const int precision = conversion.precision < 0 ? 6 : conversion.precision;
    // The longest text: 309 integer digits of DBL_MAX, the point and 99 decimals.
    char buffer[420];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, precision);
    std::string_view digits(buffer, error == std::errc() ? static_cast<std::size_t>(end - buffer) : 0);
    // glibc writes "nan" and "inf" in lower case, signed like numbers, never zero-padded.
    if (std::isnan(value)) digits = "nan";
    appendPadded(text, conversion, std::signbit(value), digits, std::isfinite(value));
}

void AppendNumber(std::string& text, PrintfConversion conversion, long value) {
    // The magnitude as unsigned, so that LONG_MIN has one too.
    const unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value) : value;
    char buffer[24 + 99];
    char* start = buffer + 99;  // room for the leading zeros of a precision
    char* end = std::to_chars(start, buffer + sizeof buffer, magnitude).ptr;
    if (conversion.precision == 0 && magnitude == 0) {
        end = start;  // "%.0d" writes no digit for 0
    } else {
        while (end - start < conversion.precision) *--start = '0';
    }
    // A precision switches zero padding off.
    appendPadded(text, conversion, value < 0, std::string_view(start, end - start), conversion.precision < 0);
}

}  // namespace velarix
