#pragma once
// DCB files named by a caller (the tools' command line, the Python module) sorted into the
// slots of a given day by their names.
#include <string>
#include <vector>

#include "control/rinex_job.h"

namespace velarix {

// Places each path in its slot of `given` (P1C1, P1P2, P1P2_ALL, Bias-SINEX). Returns ""
// when every path was placed, else the reason for the first that was not: no DCB file
// name, or a second file of the same kind.
[[nodiscard]] std::string sortGivenDcbFiles(const std::vector<std::string>& dcb, GivenDayFiles& given);

}  // namespace velarix
