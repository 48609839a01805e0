#pragma once
// Field reading shared by the navigation readers: Fortran-style numbers ("-.8397D-03"),
// the 19-character value fields of the records, and the date and time of an epoch line.
#include <cstddef>
#include <string_view>

namespace velarix {

constexpr std::size_t kNavFieldWidth = 19;

// A number as written in navigation files ("-.8397D-03"; blanks around it; blank is 0).
// False for anything that is not one finite number.
bool parseNavNumber(std::string_view text, double& value);

// The four 19-character fields of a record line from `start` (0-based column); fields
// past the end of the line are blank, hence 0. False when one cannot be read.
bool parseNavFields(std::string_view line, std::size_t start, double (&values)[4]);

struct NavEpochFields {
    int year = 0;  // four digits
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    double second = 0.0;  // may be 60 or more: counts into the next minute
};

// Six blank-separated numbers: year, month, day, hour, minute, seconds. A year below 100
// is 2000 + year below 80, else 1900 + year. False when fewer than six numbers are there
// or a value is out of its range (years 1980-2200, seconds below 61).
bool parseEpochDate(std::string_view text, NavEpochFields& fields);

// MJD of the epoch fields.
double epochMjd(const NavEpochFields& fields);

// Nearest int of a broadcast value, held within the int range.
int roundToInt(double value);

// GPS URA index (0-15) of an accuracy in metres: the first step whose bound the value
// does not exceed; 15 above 6144 m or for a negative (unknown) accuracy.
int accuracyIndexFromMetres(double accuracy_m);

}  // namespace velarix
