#pragma once
// The ".Cmn" product: per satellite and epoch, the calibrated slant and vertical TEC with
// the look angles, the pierce point and S4, thinned to one line per data interval.
//
// Layout (every line ends in CR LF):
//   1  the station: "CODE,\tCountry" (IGS catalogue), the LISN site's quoted name, or
//      "Unknown_station,\t" and the quoted input path
//   2  "%1.5lf\t%1.5lf\t%1.5lf": station latitude, longitude (deg), altitude (m); -999 unknown
//   3  "MJdatet\t\t Time\t\t PRN\t Az\t Ele\t Lat\t Lon\t Stec\t Vtec\t S4"
//   then "%5.6lf\t%2.6lf\t%2d\t%2.2lf\t%2.2lf\t%2.3lf\t%2.3lf\t%2.2lf\t%2.2lf\t%1.3lf": epoch
//   (MJD), time in hours from the processed day's 00:00 UT (negative before it, 24 and
//   more from the next day's 00:00), satellite number, azimuth, elevation, pierce-point
//   latitude and longitude (deg), slant and vertical TEC (TECU), S4 (-99 where none).
#include <string>

#include "products/product_file.h"

namespace velarix {

class RunLog;
struct DayJob;

constexpr int kCmnHeaderLines = 3;

// Writes the valid records of job.tec, satellites in ascending order, each thinned to a
// slot grid of job.dataInterval_s: the grid starts at the satellite's first epoch; of the
// records within half an interval of the next slot the one nearest it is written, and the
// next slot lies one interval past that record; after a gap the slot advances by whole
// intervals to within a quarter interval of the record. The time column is the slot's.
// Without a data interval every valid record is written.
[[nodiscard]] ProductResult WriteCmnFile(const DayJob& job, const std::string& path, RunLog& log);

}  // namespace velarix
