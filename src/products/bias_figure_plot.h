#pragma once
// The figure of the bias estimation: the day's vertical TEC before calibration (upper
// panel) and with the satellite and receiver biases removed (lower panel, with the
// largest S4 per 0.05 h on a right-hand axis from 0 to 1 when the day has S4).
#include <string>

#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "products/plot_status.h"

namespace velarix {

// Draws the figure from job.bias.figures (1150 x 800 pixels; 3450 x 2400 at high
// resolution) and saves it as PNG to `pngPath`. When the bias stage ended before it
// gathered both curves, logs that there is no figure and saves nothing. The caller logs
// the outcome of a save.
[[nodiscard]] PlotStatus DrawBiasFigure(const DayJob& job, const std::string& pngPath, bool highResolution,
                                        RunLog& log);

}  // namespace velarix
