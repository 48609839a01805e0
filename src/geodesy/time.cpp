#include "geodesy/time.h"

#include <cmath>

namespace velarix {

namespace {

// Integer division rounding toward minus infinity (years BC make operands negative).
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool isGregorian(std::int32_t year, std::int32_t month, std::int32_t day) {
    if (year != 1582) return year > 1582;
    if (month != 10) return month > 10;
    return day >= 15;
}

}  // namespace

std::int32_t JulianDayNumber(std::int32_t year, std::int32_t month, std::int32_t day) {
    // Astronomical year numbering: 1 BC = 0, 2 BC = -1.
    const std::int64_t y = year < 0 ? year + 1 : year;
    const std::int64_t a = floorDiv(14 - month, 12);
    const std::int64_t yy = y + 4800 - a;
    const std::int64_t mm = month + 12 * a - 3;
    std::int64_t jdn = day + floorDiv(153 * mm + 2, 5) + 365 * yy + floorDiv(yy, 4);
    if (isGregorian(year, month, day)) {
        jdn += -floorDiv(yy, 100) + floorDiv(yy, 400) - 32045;
    } else {
        jdn -= 32083;
    }
    return static_cast<std::int32_t>(jdn);
}

void CalendarFromJdn(std::int32_t jdn, std::int32_t& year, std::int32_t& month, std::int32_t& day) {
    if (jdn >= kGregorianStartJdn) {
        // Fliegel and Van Flandern.
        std::int64_t l = static_cast<std::int64_t>(jdn) + 68569;
        const std::int64_t n = 4 * l / 146097;
        l -= (146097 * n + 3) / 4;
        const std::int64_t i = 4000 * (l + 1) / 1461001;
        l = l - 1461 * i / 4 + 31;
        const std::int64_t j = 80 * l / 2447;
        day = static_cast<std::int32_t>(l - 2447 * j / 80);
        l = j / 11;
        month = static_cast<std::int32_t>(j + 2 - 12 * l);
        year = static_cast<std::int32_t>(100 * (n - 49) + i + l);
        return;
    }
    const std::int64_t q = static_cast<std::int64_t>(jdn) + 1402;
    const std::int64_t k1 = floorDiv(q - 1, 1461);
    const std::int64_t l = q - 1461 * k1;
    const std::int64_t k2 = (l - 1) / 365 - l / 1461;
    const std::int64_t n = l - 365 * k2 + 30;
    const std::int64_t j = 80 * n / 2447;
    day = static_cast<std::int32_t>(n - 2447 * j / 80);
    const std::int64_t k4 = j / 11;
    month = static_cast<std::int32_t>(j + 2 - 12 * k4);
    std::int64_t y = 4 * k1 + k2 + k4 - 4716;
    if (y < 1) --y;  // there is no year 0
    year = static_cast<std::int32_t>(y);
}

int SplitSecondsOfDay(double seconds, std::int32_t& hour, std::int32_t& minute, double& second) {
    double x = seconds;
    if (x >= kSecondsPerDay) x -= std::trunc(x / kSecondsPerDay) * kSecondsPerDay;
    if (x < 0.0) x += std::ceil(-x / kSecondsPerDay) * kSecondsPerDay;
    if (x >= kSecondsPerDay) x -= kSecondsPerDay;  // -86400 lands exactly on 86400

    // Nearest millisecond; a value exactly halfway rounds up.
    const double u = x * 1000.0;
    const double up = std::ceil(u);
    const double down = std::floor(u);
    x = ((up - u <= u - down) ? up : down) / 1000.0;

    int carriedDays = 0;
    if (x >= kSecondsPerDay) {
        x -= kSecondsPerDay;
        carriedDays = 1;
    }
    const auto whole = static_cast<std::int64_t>(x);
    const double fraction = x - static_cast<double>(whole);
    hour = static_cast<std::int32_t>(whole / 3600);
    minute = static_cast<std::int32_t>((whole % 3600) / 60);
    second = static_cast<double>(whole % 60) + fraction;
    return carriedDays;
}

double MjdFromCivil(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                    std::int32_t minute, double second) {
    return static_cast<double>(JulianDayNumber(year, month, day) - 2400001) +
           ((hour * 60.0 + minute) * 60.0 + second) / kSecondsPerDay;
}

double DateTime::ToMjd() const { return MjdFromCivil(year, month, day, hour, minute, second); }

void DateTime::FromMjd(double mjd) {
    mjdMode = 1;
    const auto jdn = static_cast<std::int32_t>(std::trunc(mjd + 2400000.5 + 0.5));
    const double secondsOfDay = (mjd - std::trunc(mjd)) * kSecondsPerDay;
    const int carried = SplitSecondsOfDay(secondsOfDay, hour, minute, second);
    CalendarFromJdn(jdn + carried, year, month, day);
}

void DateTime::ToGpsWeek(std::uint32_t& week, double& secondsOfWeek) const {
    const auto days = static_cast<std::int64_t>(std::trunc(ToMjd())) - kGpsOriginMjd;
    week = static_cast<std::uint32_t>(days / 7);
    secondsOfWeek = (((days % 7) * 24.0 + hour) * 60.0 + minute) * 60.0 + second;
}

void DateTime::FromGpsWeek(std::uint32_t week, double secondsOfWeek) {
    mjdMode = 1;
    const double wholeDays = std::trunc(secondsOfWeek / kSecondsPerDay);
    const int carried = SplitSecondsOfDay(secondsOfWeek - wholeDays * kSecondsPerDay, hour, minute, second);
    const auto jdn = static_cast<std::int64_t>(week) * 7 + static_cast<std::int64_t>(wholeDays) + kGpsOriginJdn + carried;
    CalendarFromJdn(static_cast<std::int32_t>(jdn), year, month, day);
}

std::int32_t DayOfYear(std::int32_t year, std::int32_t month, std::int32_t day) {
    return JulianDayNumber(year, month, day) - JulianDayNumber(year, 1, 1) + 1;
}

std::int32_t DateTime::DayOfYear() const { return velarix::DayOfYear(year, month, day); }

void MonthDayFromDayOfYear(std::int32_t year, std::int32_t dayOfYear, std::int32_t& month, std::int32_t& day) {
    std::int32_t y = 0;
    CalendarFromJdn(JulianDayNumber(year, 1, 1) + dayOfYear - 1, y, month, day);
}

}  // namespace velarix
