#include "products/tec24h_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "products/axes.h"
#include "products/colour_ramp.h"
#include "products/plot_canvas.h"
#include "products/plot_texts.h"

namespace velarix {

namespace {

constexpr double kSampleElevation_deg = 15.0;
constexpr double kHistogramElevation_deg = 25.0;
constexpr double kWindowStart_day = 1.0 / 86400.0;                // 00:00:01
constexpr double kWindowEnd_day = 0.999988425925926;              // 23:59:59
constexpr double kLeastOverlap_day = 0.125;                       // 3 hours
constexpr double kLineBreak_day = 1.0 / 120.0 + 0.001 / 86400.0;  // 12 minutes, with a millisecond to spare
constexpr double kLatitudeReach_deg = 8.0;                        // farther from the station: drawn in to 6 deg
constexpr double kLatitudeDrawnIn_deg = 6.0;
// Histogram bins of 5 TECU: bin = floor((vTEC + 10) / 5), from -50 up to 490 TECU.
constexpr double kBinWidth_TECU = 5.0;
constexpr int kLowestBin = -8;
constexpr int kHighestBin = 99;
constexpr int kLowerBinFill = 15;  // samples a bin needs beyond these to set the axis
constexpr int kUpperBinFill = 20;
constexpr double kLeastUpper_TECU = 40.0;
constexpr double kLeastTecRange_TECU = 10.0;

constexpr int kMarginRight = 90;  // room for the colour bar and its labels
constexpr double kCurveWidth = 3.0;
constexpr Colour kTitleColour = 0x960000;
constexpr double kTitleGap = 8.0;

bool sampled(const TecRecord& r, double elevation_deg) { return r.valid == 1 && r.elevation_deg >= elevation_deg; }

void setTecAxis(const std::map<int, int>& bins, Tec24hScales& scales) {
    scales.tecLow = -10.0;
    scales.tecHigh = kLeastUpper_TECU;
    for (const auto& [bin, count] : bins) {
        if (count > kLowerBinFill) {
            scales.tecLow = kBinWidth_TECU * (bin - 2);
            break;
        }
    }
    for (auto it = bins.rbegin(); it != bins.rend(); ++it) {
        if (it->second > kUpperBinFill) {
            scales.tecHigh = std::max(kLeastUpper_TECU, kBinWidth_TECU * (it->first - 2) + kBinWidth_TECU);
            break;
        }
    }
    scales.tecHigh = std::max(scales.tecHigh, scales.tecLow + kLeastTecRange_TECU);
    scales.tecStep = scales.tecHigh - scales.tecLow > 50.0 ? 10.0 : 5.0;
}

void setLatitudeRange(double lowest, double highest, double station_deg, Tec24hScales& scales) {
    const bool stationKnown = station_deg > -900.0;
    if (lowest > highest) {  // no sample
        lowest = stationKnown ? station_deg - kLatitudeDrawnIn_deg : -90.0;
        highest = stationKnown ? station_deg + kLatitudeDrawnIn_deg : 90.0;
    }
    if (stationKnown && std::fabs(lowest - station_deg) > kLatitudeReach_deg)
        lowest = station_deg - kLatitudeDrawnIn_deg;
    if (stationKnown && std::fabs(highest - station_deg) > kLatitudeReach_deg)
        highest = station_deg + kLatitudeDrawnIn_deg;
    scales.latitudeMin_deg = lowest;
    scales.latitudeMax_deg = highest;
}

GraphSpec figureSpec(const Tec24hScales& scales, bool highResolution) {
    GraphSpec spec = LandscapePage(highResolution);
    spec.panelMode = 1;  // the colour bar goes beside the panel: here the whole page
    spec.panelWidth = 1150.0;
    spec.panelHeight = 800.0;
    spec.marginRight = kMarginRight;
    spec.xMin = 0.0;
    spec.xMax = 24.0;
    spec.xStep = 2.0;
    spec.yMin = scales.tecLow;
    spec.yMax = scales.tecHigh;
    spec.yStep = scales.tecStep;
    spec.yDecimals = -1;  // steps of 5 or 10 TECU
    spec.zMin = scales.latitudeMin_deg;
    spec.zMax = scales.latitudeMax_deg;
    spec.xTitle = "UT (hrs)";
    spec.yTitle = "TEC units";
    spec.zTitle = "Lat";
    spec.titleColour = kTitleColour;
    return spec;
}

}  // namespace

Tec24hScales SurveyTec24h(const DayJob& job) {
    Tec24hScales scales;
    scales.windowStartMjd = job.dayStartMjd + kWindowStart_day;
    scales.windowEndMjd = job.dayStartMjd + kWindowEnd_day;
    double first = std::numeric_limits<double>::infinity(), last = -first;
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    std::map<int, int> bins;
    for (const auto& [satNo, series] : job.tec) {
        if (series.size() < 2) continue;
        first = std::min(first, series.begin()->first);
        last = std::max(last, series.rbegin()->first);
        for (const auto& [epochMjd, r] : series) {
            if (!sampled(r, kSampleElevation_deg)) continue;
            lowest = std::min(lowest, r.ippLatitude_deg);
            highest = std::max(highest, r.ippLatitude_deg);
            if (r.elevation_deg < kHistogramElevation_deg) continue;
            const double bin = std::floor((r.verticalTec + 10.0) / kBinWidth_TECU);
            if (bin >= kLowestBin && bin <= kHighestBin) ++bins[static_cast<int>(bin)];
        }
    }
    scales.dataOverlap_day =
        std::max(0.0, std::min(last, scales.windowEndMjd) - std::max(first, scales.windowStartMjd));
    setTecAxis(bins, scales);
    setLatitudeRange(lowest, highest, job.context.latitudeDeg, scales);
    return scales;
}

std::vector<Tec24hSegment> Tec24hSegments(const DayJob& job, const Tec24hScales& scales) {
    std::vector<Tec24hSegment> segments;
    const auto onAxis = [&scales](double tec) { return tec >= scales.tecLow && tec <= scales.tecHigh; };
    for (const auto& [satNo, series] : job.tec) {
        const TecRecord* previous = nullptr;
        for (const auto& [epochMjd, r] : series) {
            if (!sampled(r, kSampleElevation_deg) || epochMjd < scales.windowStartMjd || epochMjd > scales.windowEndMjd)
                continue;
            if (previous != nullptr && epochMjd - previous->epochMjd <= kLineBreak_day &&
                onAxis(previous->verticalTec) && onAxis(r.verticalTec)) {
                segments.push_back({satNo, previous->epochMjd, previous->verticalTec, epochMjd, r.verticalTec,
                                    ColourRamp(r.ippLatitude_deg, scales.latitudeMin_deg, scales.latitudeMax_deg,
                                               kRampDeepBlueToMagenta)});
            }
            previous = &r;
        }
    }
    return segments;
}

PlotStatus PlotTec24h(const DayJob& job, const std::string& pngPath, bool highResolution, RunLog& log) {
    log.say("\r\nPlotting 24Hr TEC: ");
    const Tec24hScales scales = SurveyTec24h(job);
    if (scales.dataOverlap_day < kLeastOverlap_day) {
        log.append("\r\nData time isn't inside the date of file! aborting plot!..");
        return PlotStatus::kNothingToDraw;
    }
    GraphSpec spec = figureSpec(scales, highResolution);
    PlotCanvas canvas;
    // The legend in the ramp of the curves, so that its colours read true.
    if (CreateCanvas(spec, canvas) != CanvasStatus::kCreated || DrawAxes(spec, canvas) != AxesStatus::kDrawn ||
        DrawColourBar(spec, canvas, kRampDeepBlueToMagenta) != ColourBarStatus::kDrawn || !AcquireContext(canvas)) {
        log.append("\r\nError! Can't draw the plot... " + pngPath);
        return PlotStatus::kNoCanvas;
    }
    Canvas& image = canvas.image;
    const GraphFrame frame = FrameOf(spec);
    const FontSpec titleFont = LabelFont(spec);
    DrawTitlePair(image, frame, frame.top - kTitleGap - image.measure("D", titleFont).height, Tec24hDateTitle(job),
                  Tec24hStationTitle(job), titleFont, spec.titleColour);

    FrameMap map = MapOf(spec);
    map.xMin = scales.windowStartMjd;  // the window spans the 24 hours of the axis
    map.xMax = scales.windowEndMjd;
    SegmentBatch curves(image, kCurveWidth);
    for (const Tec24hSegment& s : Tec24hSegments(job, scales)) {
        curves.segment(map.x(s.fromMjd), map.y(s.fromTec), map.x(s.toMjd), map.y(s.toTec), s.colour);
    }
    curves.flush();
    ReleaseContext(canvas);
    return SaveFigure(canvas, pngPath, log);
}

}  // namespace velarix
