#pragma once
// The "_cmn.dat" file of a command-file run: the last calibrated TEC value of each
// satellite, from which a later run of a short (hourly, 15-minute) file can take up.
//
// Layout (every line ends in CR LF):
//   "Note: this file contains last TEC value of each PRN, may be useful for bias
//    correction in hourly or 15min files"
//   "MJdt\tPRN\tsTEC\tvTEC\tElev"
//   per satellite "%6.5f\t%02d\t%2.2f\t%2.2f\t%2.2f": epoch (MJD), satellite number, slant
//   and vertical TEC (TECU), elevation (deg).
#include <string>

#include "products/product_file.h"

namespace velarix {

class RunLog;
struct DayJob;

// Writes, for each satellite of job.tec in ascending order, its last valid record (one
// whose valid flag is 1); a satellite without one is left out. ProductResult::kNoData (no file)
// when job.tec holds no valid record.
[[nodiscard]] ProductResult WriteLastTecFile(const DayJob& job, const std::string& path, RunLog& log);

}  // namespace velarix
