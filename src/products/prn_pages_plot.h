#pragma once
// Pages of small per-satellite panels: each shows one satellite's vertical TEC over the
// day with its elevation and, where present, its S4 index. Eight panels to a page, as
// many pages as the day's satellites need, each saved as its own PNG file.
#include <functional>
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "products/plot_status.h"

namespace velarix {

struct PanelPoint {
    double hour = 0.0;  // since the start of the day
    double value = 0.0;
};
using PanelLine = std::vector<PanelPoint>;

// What one satellite's panel shows.
struct PrnPanel {
    int satNo = 0;
    std::vector<PanelLine> tec;        // valid records at 15 deg or more, broken at gaps over 2 hours
    std::vector<PanelLine> elevation;  // every record, broken at gaps over 12 minutes
    PanelLine s4;                      // valid records that carry an S4 value
    double tecLow = 0.0, tecHigh = 10.0, tecStep = 10.0;
    double hourLow = 0.0, hourHigh = 24.0, hourStep = 2.0;
};

// The panels of every satellite with more than 30 epochs, in ascending satellite number.
// Pieces of the TEC curve shorter than 45 minutes at either end of a satellite's broken
// series are left out. The time axis runs over the whole hours around the satellite's TEC
// curve, or over the day when `fixedDayWindow`.
std::vector<PrnPanel> PrnPanels(const DayJob& job, bool fixedDayWindow);

constexpr int kPanelsPerPage = 8;

// The path of page 1, 2, ...
using PagePath = std::function<std::string(int page)>;

// Logs "Plotting the PRNs: ", draws every page (1150 x 800 pixels; 3450 x 2400 at high
// resolution), saves each with its outcome logged (a failed save does not stop the next
// page) and logs "PRN Plots  ...done!".
[[nodiscard]] PlotStatus PlotPrnPages(const DayJob& job, const PagePath& pagePath, bool fixedDayWindow,
                                      bool highResolution, RunLog& log);

}  // namespace velarix
