#pragma once
// What the bias stage's two TEC figures show, gathered from the day's TEC table so that
// the plots can draw them later.
#include "gnss/bias/bias_results.h"
#include "gnss/day_job.h"

namespace velarix {

// Vertical TEC of the valid records above 20 deg, per satellite, hours since the day's start.
std::map<int, std::vector<TecFigurePoint>> FigureTec(const TecTable& tec, double dayStartMjd);

// The S4 maxima per 0.05 h bin and the S4 source of the day.
void FillFigureS4(const DayJob& job, BiasFigures& figures);

}  // namespace velarix
