#pragma once
// Small synthetic days for the figure tests, built record by record (the real BJFS day
// comes from real_day.h).
#include <string>

#include "gnss/day_job.h"
#include "platform/canvas.h"

namespace velarix {

constexpr double kFigureDay = 58849.0;  // 2020-01-01

// A valid record of a synthetic day.
TecRecord figureRecord(double epochMjd, double verticalTec, double elevation_deg = 45.0, double ippLatitude_deg = 40.0);

// `count` epochs every `step_s` seconds from `fromHour` of the day, added to satellite
// `satNo` with the given TEC and elevation.
void addPass(DayJob& job, int satNo, double fromHour, int count, double step_s, double verticalTec = 20.0,
             double elevation_deg = 45.0);

// Colours within 24 of each other in every component: the edges of lines and letters are
// blended with the background.
bool nearColour(Colour a, Colour b);

// Where a test puts a figure: the folder in VELARIX_FIGURE_DIR when that is set (to look
// at the figures the tests draw), else `dir`.
std::string figurePath(const std::string& dir, const std::string& name);

}  // namespace velarix
