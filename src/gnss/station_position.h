#pragma once
// The station's position from its own pseudoranges, for files whose header carries none:
// a code-only single-point solution per epoch from the broadcast ephemerides, the early
// solutions averaged into the station position.
#include <string>

#include "gnss/day_job.h"
#include "platform/run_log.h"

// Mode 0: solves epochs of job.obs.byEpoch until the approximate position is established
// and stops. Mode 1: empties byEpoch, refills it from bySatellite, solves every epoch and
// writes the solutions to `solutionsPath`. Returns 0 when an approximate position was
// established (it is then in job.station), -1 otherwise.
int SolveStationPosition(DayJob& job, int mode, const std::string& solutionsPath, RunLog& log);
