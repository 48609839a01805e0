#pragma once
// The day's summary figure: the vertical TEC of every satellite against universal time
// over the 24 hours of the day, each sample coloured by the latitude of its ionospheric
// pierce point.
#include <string>
#include <vector>

#include "gnss/day_job.h"
#include "platform/canvas.h"
#include "platform/run_log.h"
#include "products/plot_status.h"

namespace velarix {

// The axes of the figure, from a survey of the day's records.
struct Tec24hScales {
    double tecLow = -10.0;  // TECU
    double tecHigh = 40.0;
    double tecStep = 5.0;
    double latitudeMin_deg = 0.0;  // the colour range
    double latitudeMax_deg = 0.0;
    double windowStartMjd = 0.0;  // 00:00:01 to 23:59:59 of the day
    double windowEndMjd = 0.0;
    double dataOverlap_day = 0.0;  // how much of the window the records span
};

// Surveys the satellites with more than one epoch: the time span of their records; the
// pierce-point latitudes of valid records at 15 deg or more (drawn in towards the station
// when farther than 8 deg from it); a histogram in 5-TECU bins of the vertical TEC of
// valid records at 25 deg or more, which sets the TEC axis from the bins well filled.
Tec24hScales SurveyTec24h(const DayJob& job);

// A line between two consecutive samples of a satellite, in the later sample's colour.
struct Tec24hSegment {
    int satNo = 0;
    double fromMjd = 0.0, fromTec = 0.0;
    double toMjd = 0.0, toTec = 0.0;
    Colour colour = 0;
};

// The lines of the figure: samples of valid records at 15 deg or more inside the window,
// each joined to the satellite's previous one unless more than 12 minutes lie between
// them; only lines whose both ends lie within the TEC axis.
std::vector<Tec24hSegment> Tec24hSegments(const DayJob& job, const Tec24hScales& scales);

// Logs "Plotting 24Hr TEC: ", draws the figure (1150 x 800 pixels; 3450 x 2400 at high
// resolution) and saves it as PNG to `pngPath`, logging the outcome. When the records
// overlap the day by less than 3 hours nothing is drawn.
[[nodiscard]] PlotStatus PlotTec24h(const DayJob& job, const std::string& pngPath, bool highResolution, RunLog& log);

}  // namespace velarix
