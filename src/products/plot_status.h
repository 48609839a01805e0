#pragma once

namespace velarix {
// What became of a figure of the day.
enum PlotStatus : int {
    kPlotSaved = 0,
    kPlotNothingToDraw = -1,  // the day holds nothing the figure shows (logged)
    kPlotNoCanvas = -2,       // the image could not be made or drawn (logged)
    kPlotSaveFailed = -3,     // a file could not be saved (logged; other pages are still saved)
};

}  // namespace velarix
