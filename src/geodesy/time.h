#pragma once
// Time and calendar conversions. Every epoch in the program is a Modified Julian Date
// (MJD, days) held in a double; these convert it to and from civil dates, GPS week and
// seconds of week, and hours/minutes/seconds of day.
#include <cstdint>

namespace velarix {

constexpr double kSecondsPerDay = 86400.0;
constexpr int kGpsOriginJdn = 2444245;  // 1980-01-06
constexpr int kGpsOriginMjd = 44244;
constexpr int kGregorianStartJdn = 2299161;  // 1582-10-15

// Julian Day Number (the JD of the date's noon) of a civil date. Negative years are
// years BC (-1 = 1 BC; 0 is also taken as 1 BC). Dates before 1582-10-15 are Julian.
std::int32_t JulianDayNumber(std::int32_t year, std::int32_t month, std::int32_t day);
void CalendarFromJdn(std::int32_t jdn, std::int32_t& year, std::int32_t& month, std::int32_t& day);

// Splits seconds of day, rounded to the millisecond, into hour, minute and second. The
// value is first brought into [0, 86400); a value that rounds up to 86400 gives 0 h.
// Returns the whole days carried by that rounding (0 or 1) so that callers holding a date
// can advance it.
int SplitSecondsOfDay(double seconds, std::int32_t& hour, std::int32_t& minute, double& second);

// MJD of a civil instant.
double MjdFromCivil(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                    std::int32_t minute, double second);

struct DateTime {
    std::uint32_t mjdMode = 1;  // the day number of this record is an MJD
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    double second = 0.0;

    double ToMjd() const;
    void FromMjd(double mjd);
    void ToGpsWeek(std::uint32_t& week, double& secondsOfWeek) const;
    void FromGpsWeek(std::uint32_t week, double secondsOfWeek);
    // Day of year, 1 to 366.
    std::int32_t DayOfYear() const;
};

// Month and day of a day of year.
void MonthDayFromDayOfYear(std::int32_t year, std::int32_t dayOfYear, std::int32_t& month, std::int32_t& day);
std::int32_t DayOfYear(std::int32_t year, std::int32_t month, std::int32_t day);

}  // namespace velarix
