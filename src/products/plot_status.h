#pragma once

namespace velarix {
// What became of a figure of the day.
enum class PlotStatus {
    kSaved = 0,
    kNothingToDraw = -1,  // the day holds nothing the figure shows (logged)
    kNoCanvas = -2,       // the image could not be made or drawn (logged)
    kSaveFailed = -3,     // a file could not be saved (logged; other pages are still saved)
};

}  // namespace velarix
