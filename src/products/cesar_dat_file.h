#pragma once
// The CESAR-Dat product (".dat"): the station, then per satellite a "PRN" line and its
// vertical TEC above 20 degrees elevation with UT, local time and the pierce point.
//
// Layout (every line ends in CR LF):
//   1  the station: "%14.14s, %14.14s" code and country (IGS catalogue), the LISN site's
//      quoted name, or "%14.14s,        unknown" with the station code
//   2  "% 13.4lf% 13.4lf% 13.4lf": latitude, longitude (deg), altitude (km)
//   3, 4  "%10.10s" receiver type and format of the LISN site, else "Novatel   ", "1dRINEX   "
//   5  "% 5.0d% 5.0d% 5.0d": year, month, day
//   per satellite with epochs: "PRN % 7.0d% 7.0ld" (satellite number, its epochs), then
//   "% 5.0ld% 5.0ld% 4d% 4d% 4.0lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf": the epoch's
//   number within the satellite (every epoch counts), day number (1 January 2000 is day 1),
//   UT hour, minute and seconds, vertical TEC, local time (hours, by the station's
//   longitude), elevation, pierce-point latitude and longitude, slant TEC.
#include <string>

#include "products/product_file.h"

namespace velarix {

class RunLog;
struct DayJob;

constexpr double kCesarMinElevation_deg = 20.0;

// ProductResult::kNoData at once when job.tec is empty; ProductResult::kNotCreated when the file cannot
// be created (logged).
[[nodiscard]] ProductResult WriteCesarDat(const DayJob& job, const std::string& path, RunLog& log);

}  // namespace velarix
