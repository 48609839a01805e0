#include "rinex/nav_fields.h"

#include <cmath>
#include <limits>

#include "geodesy/time.h"
#include "rinex/fixed_fields.h"

namespace velarix {

bool parseNavNumber(std::string_view text, double& value) {
    return parseDoubleField(text, value) != FieldStatus::kInvalid;
}

bool parseNavFields(std::string_view line, std::size_t start, double (&values)[4]) {
    for (int i = 0; i < 4; ++i) {
        const std::size_t from = start + static_cast<std::size_t>(i) * kNavFieldWidth;
        const std::string_view field = from < line.size() ? line.substr(from, kNavFieldWidth) : std::string_view();
        if (!parseNavNumber(field, values[i])) return false;
    }
    return true;
}

bool parseEpochDate(std::string_view text, NavEpochFields& fields) {
    std::string_view tokens[6];
    int count = 0;
    std::size_t i = 0;
    while (count < 6) {
        while (i < text.size() && isBlankChar(text[i])) ++i;
        if (i >= text.size()) break;
        const std::size_t start = i;
        while (i < text.size() && !isBlankChar(text[i])) ++i;
        tokens[count++] = text.substr(start, i - start);
    }
    if (count < 6) return false;

    long numbers[5] = {};
    for (int k = 0; k < 5; ++k) {
        if (parseIntField(tokens[k], numbers[k]) != FieldStatus::kNumber) return false;
    }
    NavEpochFields f;
    f.year = static_cast<int>(numbers[0]);
    f.month = static_cast<int>(numbers[1]);
    f.day = static_cast<int>(numbers[2]);
    f.hour = static_cast<int>(numbers[3]);
    f.minute = static_cast<int>(numbers[4]);
    if (!parseNavNumber(tokens[5], f.second)) return false;
    if (f.year >= 0 && f.year < 100) f.year += f.year < 80 ? 2000 : 1900;
    if (f.year < 1980 || f.year > 2200 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 || f.hour < 0 ||
        f.hour > 23 || f.minute < 0 || f.minute > 59 || !(f.second >= 0.0 && f.second < 61.0)) {
        return false;
    }
    fields = f;
    return true;
}

double epochMjd(const NavEpochFields& fields) {
    // Seconds of 60 or more simply count into the next minute.
    return MjdFromCivil(fields.year, fields.month, fields.day, fields.hour, fields.minute, fields.second);
}

int roundToInt(double value) {
    if (!(value == value)) return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(std::lround(value));
}

int accuracyIndexFromMetres(double accuracy_m) {
    static const double kUpperBound_m[] = {2.4,  3.4,   4.85,  6.85,  9.65,   13.65,  24.0,  48.0,
                                           96.0, 192.0, 384.0, 768.0, 1536.0, 3072.0, 6144.0};
    if (!(accuracy_m >= 0.0)) return 15;
    for (int i = 0; i < 15; ++i) {
        if (accuracy_m <= kUpperBound_m[i]) return i;
    }
    return 15;
}

}  // namespace velarix
