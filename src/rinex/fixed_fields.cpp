#include "rinex/fixed_fields.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace velarix {

FieldStatus fixed_fields_detail::parseDoubleSlow(std::string_view field, double& value) {
    value = 0.0;
    std::string text(field);
    for (char& c : text) {
        if (c == 'D' || c == 'd') c = 'E';  // Fortran exponent
    }
    // from_chars reads the same decimal forms as strtod, whatever the process's locale,
    // but neither blanks nor a plus sign before them.
    const char* begin = text.data();
    const char* const last = text.data() + text.size();
    while (begin != last && isBlankChar(*begin)) ++begin;
    if (last - begin >= 2 && *begin == '+' && begin[1] != '-' && begin[1] != '+') ++begin;
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(begin, last, parsed);
    if (error != std::errc() || end == begin || !isBlank(std::string_view(end, static_cast<std::size_t>(last - end))) ||
        !std::isfinite(parsed)) {
        return FieldStatus::kInvalid;
    }
    // from_chars also reads "nan" and "inf"; RINEX numbers are decimal.
    for (const char* p = begin; p != end; ++p) {
        if (!(isBlankChar(*p) || (*p >= '0' && *p <= '9') || *p == '.' || *p == '-' || *p == '+' || *p == 'E' ||
              *p == 'e')) {
            return FieldStatus::kInvalid;
        }
    }
    value = parsed;
    return FieldStatus::kNumber;
}

FieldStatus parseIntField(std::string_view field, long& value) {
    value = 0;
    std::size_t i = 0;
    const std::size_t n = field.size();
    while (i < n && isBlankChar(field[i])) ++i;
    if (i == n) return FieldStatus::kBlank;
    bool negative = false;
    if (field[i] == '-' || field[i] == '+') negative = field[i++] == '-';
    long magnitude = 0;
    int digits = 0;
    for (; i < n && field[i] >= '0' && field[i] <= '9'; ++i) {
        if (magnitude > 999999999L / 10) return FieldStatus::kInvalid;
        magnitude = magnitude * 10 + (field[i] - '0');
        ++digits;
    }
    if (digits == 0 || magnitude > 999999999L || !isBlank(field.substr(i))) return FieldStatus::kInvalid;
    value = negative ? -magnitude : magnitude;
    return FieldStatus::kNumber;
}

}  // namespace velarix
