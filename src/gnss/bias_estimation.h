#pragma once
// Receiver and satellite bias estimation ("rBias_Calc"): removes the satellites' P1-P2
// biases and the receiver bias (estimated in two stages) and a residual per-satellite
// bias from job.tec in place, and leaves the results in job.bias.
#include <string>

#include "gnss/day_job.h"
#include "platform/run_log.h"

// 0 biases estimated and applied; -1 no usable data interval; -4 a 2-sigma bin
// overflowed; -9 too few values for a 2-sigma curve.
int EstimateBiases(DayJob& job, RunLog& log);

// The bias summary that follows the bias stage in the run log: station, the biases
// applied per PRN, the receiver bias of both stages, the extreme averages and the sign.
std::string biasSummaryText(const DayJob& job);
