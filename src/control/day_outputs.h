#pragma once
// The last step of a station-day: the plots and the text products, as the options ask.
#include <string>
#include <vector>

#include "control/rinex_job.h"

namespace velarix {

// Draws the requested plots and writes the requested products of the day in `job` into
// its product directory. kDone when everything asked for was written; otherwise
// kOutputsFailed (the reason is in `log`).
// The paths of the files written go to `written` when it is given. A `productBase` names
// the CMN and bias summary files (that path plus ".cmn" and ".Bias") instead of the day.
[[nodiscard]] RinexDayResult writeDayOutputs(const DayJob& job, const DayEnvironment& environment, RunLog& log,
                                             std::vector<std::string>* written = nullptr,
                                             const std::string& productBase = {});

}  // namespace velarix
