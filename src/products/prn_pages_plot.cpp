#include "products/prn_pages_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/strfmt.h"
#include "products/axes.h"
#include "products/plot_canvas.h"
#include "products/plot_texts.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

constexpr std::size_t kLeastEpochs = 31;
constexpr double kTecElevation_deg = 15.0;
constexpr double kSlack_day = 0.001 / 86400.0;     // a millisecond, for epochs read as MJD
constexpr double kTecGap_day = 1.0 / 12.0;         // 2 hours
constexpr double kElevationGap_day = 1.0 / 120.0;  // 12 minutes
constexpr double kShortPiece_h = 24.0 / 32.0;      // 45 minutes
constexpr double kTecUnitStep = 10.0;              // the axis ends are whole tens
constexpr int kMostTecIntervals = 5;
constexpr int kMostHourIntervals = 12;
constexpr double kElevationTop_deg = 90.0;

// Page layout, logical units: a title band, then 2 columns by 4 rows of panels.
constexpr double kPageWidth = 1150.0;
constexpr double kTitleBand = 40.0;
constexpr int kColumns = 2;
constexpr double kPanelWidth = kPageWidth / kColumns;
constexpr double kPanelHeight = 190.0;
constexpr double kPageMargin = 20.0;
constexpr int kPanelFontHeight = 14;

constexpr Colour kTitleColour = 0x960000;
constexpr Colour kTecColour = 0xDC0000;        // blue
constexpr Colour kElevationColour = 0x909090;  // grey
constexpr Colour kS4Colour = 0x0000DC;         // red
constexpr double kTecWidth = 1.5;
constexpr double kElevationWidth = 1.0;
constexpr double kS4Dot = 2.5;

double hourOf(const DayJob& job, double epochMjd) { return (epochMjd - job.dayStartMjd) * 24.0; }

double spanOf(const PanelLine& line) { return line.back().hour - line.front().hour; }

// Consecutive points of one series: a new line wherever more than `gap_day` lies between
// two of them.
void addPoint(std::vector<PanelLine>& lines, double& previousMjd, double epochMjd, double gap_day, PanelPoint point) {
    if (lines.empty() || epochMjd - previousMjd > gap_day + kSlack_day) lines.emplace_back();
    lines.back().push_back(point);
    previousMjd = epochMjd;
}

void setAxes(PrnPanel& panel, bool fixedDayWindow) {
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    for (const PanelLine& line : panel.tec) {
        for (const PanelPoint& p : line) {
            if (!std::isfinite(p.value)) continue;
            lowest = std::min(lowest, p.value);
            highest = std::max(highest, p.value);
        }
    }
    if (lowest <= highest) {
        panel.tecLow = std::floor(lowest / kTecUnitStep) * kTecUnitStep;
        panel.tecHigh = std::ceil(highest / kTecUnitStep) * kTecUnitStep;
    }
    // At least two steps.
    panel.tecHigh = std::max(panel.tecHigh, panel.tecLow + 2 * kTecUnitStep);
    // Wide ranges in coarser steps (20, 50, 100, ...), the ends moved out to them.
    panel.tecStep = kTecUnitStep;
    for (int i = 0; (panel.tecHigh - panel.tecLow) / panel.tecStep > kMostTecIntervals; ++i) {
        panel.tecStep *= i % 3 == 1 ? 2.5 : 2.0;
    }
    panel.tecLow = std::floor(panel.tecLow / panel.tecStep) * panel.tecStep;
    panel.tecHigh = std::ceil(panel.tecHigh / panel.tecStep) * panel.tecStep;

    if (!fixedDayWindow && !panel.tec.empty()) {
        panel.hourLow = std::floor(panel.tec.front().front().hour);
        panel.hourHigh = std::max(std::ceil(panel.tec.back().back().hour), panel.hourLow + 1.0);
    }
    for (double step : {1.0, 2.0, 3.0, 4.0, 6.0, 12.0, 24.0}) {
        panel.hourStep = step;
        if ((panel.hourHigh - panel.hourLow) / step <= kMostHourIntervals) break;
    }
    // The axis ends on a labelled tick.
    panel.hourHigh = panel.hourLow + std::ceil((panel.hourHigh - panel.hourLow) / panel.hourStep) * panel.hourStep;
}

GraphSpec pageSpec(bool highResolution) {
    GraphSpec spec = LandscapePage(highResolution);
    spec.titleColour = kTitleColour;
    spec.labelFontHeight = 18;
    return spec;
}

GraphSpec panelSpec(const PrnPanel& panel, int slot, bool highResolution) {
    GraphSpec spec = LandscapePage(highResolution);
    spec.panelMode = 1;
    spec.panelLeft = (slot % kColumns) * kPanelWidth;
    spec.panelTop = kTitleBand + (slot / kColumns) * kPanelHeight;
    spec.panelWidth = kPanelWidth;
    spec.panelHeight = kPanelHeight;
    spec.marginOuter = 0;
    spec.marginLeft = 62;
    spec.marginRight = 80;
    spec.marginTop = 24;
    spec.marginBottom = 40;
    spec.labelFontHeight = kPanelFontHeight;
    spec.yTitleFontHeight = kPanelFontHeight;
    spec.smallFontHeight = 12;
    spec.axisPenWidth = 1;
    spec.xMin = panel.hourLow;
    spec.xMax = panel.hourHigh;
    spec.xStep = panel.hourStep;
    spec.yMin = panel.tecLow;
    spec.yMax = panel.tecHigh;
    spec.yStep = panel.tecStep;
    spec.yDecimals = -1;  // steps of 10 TECU or more
    spec.xTitle = "UT (hrs)";
    spec.yTitle = "TEC units";
    spec.titleColour = kTitleColour;
    return spec;
}

// The right axis, shared by elevation (0 to 90 deg) and S4 (0 to 1, in brackets).
void drawRightAxis(Canvas& image, const GraphSpec& spec, const GraphFrame& f) {
    const FontSpec font = LabelFont(spec);
    struct Tick {
        double elevation_deg;
        const char* label;
    };
    constexpr Tick ticks[] = {{0, "(0)"}, {30, "30"}, {45, "(0.5)"}, {60, "60"}, {90, "90"}};
    double widest = 0.0;
    for (const Tick& t : ticks) {
        const double y = f.bottom - t.elevation_deg * f.height() / kElevationTop_deg;
        image.line(f.right, y, f.right - 6.0, y, spec.gridPenWidth, spec.axisColour);
        const TextSize size = image.measure(t.label, font);
        image.text(f.right + 5.0, y - size.height / 2, t.label, font, spec.labelColour);
        widest = std::max(widest, size.width);
    }
    // S4 1.0 shares the top tick with 90 deg: beside it.
    const double besideX = f.right + 5.0 + image.measure("90 ", font).width;
    const TextSize one = image.measure("(1.0)", font);
    image.text(besideX, f.top - one.height / 2, "(1.0)", font, spec.labelColour);
    widest = std::max(widest, besideX + one.width - f.right - 5.0);

    const std::string title = "Elev/(S4 index)";
    const FontSpec rotated = YTitleFont(spec);
    const TextSize size = image.measure(title, rotated);
    const double x = std::min(f.right + 5.0 + widest + 4.0, spec.panelLeft + spec.panelWidth - size.height - 2.0);
    image.text(x, (f.top + f.bottom + size.width) / 2, title, rotated, spec.labelColour);
}

void drawLines(Canvas& image, const FrameMap& map, const std::vector<PanelLine>& lines, double top, double width,
               Colour colour) {
    const auto inside = [&map, top](const PanelPoint& p) {
        return p.hour >= map.xMin && p.hour <= map.xMax && p.value >= map.yMin && p.value <= top;
    };
    SegmentBatch batch(image, width);
    for (const PanelLine& line : lines) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            if (!inside(line[i - 1]) || !inside(line[i])) continue;
            batch.segment(map.x(line[i - 1].hour), map.y(line[i - 1].value), map.x(line[i].hour),
                          map.y(line[i].value), colour);
        }
    }
}

void drawPanel(PlotCanvas& canvas, const PrnPanel& panel, int slot, bool highResolution) {
    GraphSpec spec = panelSpec(panel, slot, highResolution);
    if (ValidateGraph(spec) != GraphStatus::kValid) return;
    spec.hasCanvas = 1;  // a rectangle of the page's canvas
    if (DrawAxes(spec, canvas) != AxesStatus::kDrawn || !AcquireContext(canvas)) return;
    Canvas& image = canvas.image;
    const GraphFrame f = FrameOf(spec);
    drawRightAxis(image, spec, f);

    const FontSpec labelFont = LabelFont(spec);
    const std::string label = satelliteLabel(panel.satNo);
    image.text(f.left, f.top - 4.0 - image.measure(label, labelFont).height, label, labelFont, spec.titleColour);

    FrameMap elevation = MapOf(spec);
    elevation.yMin = 0.0;
    elevation.yMax = kElevationTop_deg;
    drawLines(image, elevation, panel.elevation, kElevationTop_deg, kElevationWidth, kElevationColour);
    FrameMap s4 = elevation;
    s4.yMax = 1.0;
    for (const PanelPoint& p : panel.s4) {
        if (p.hour < s4.xMin || p.hour > s4.xMax) continue;
        const double value = std::min(p.value, 1.0);
        image.fillRectangle(s4.x(p.hour) - kS4Dot / 2, s4.y(value) - kS4Dot / 2, kS4Dot, kS4Dot, kS4Colour);
    }
    const FrameMap tec = MapOf(spec);
    drawLines(image, tec, panel.tec, tec.yMax, kTecWidth, kTecColour);
    ReleaseContext(canvas);
}

// Which line is which, at the right end of the title band.
void drawLegend(Canvas& image, const FontSpec& font, double top) {
    struct Entry {
        const char* text;
        Colour colour;
        bool dot;
    };
    constexpr Entry entries[] = {
        {"TEC", kTecColour, false}, {"Elevation", kElevationColour, false}, {"S4", kS4Colour, true}};
    constexpr double kSample = 24.0, kGap = 6.0, kSpace = 18.0;
    double width = 0.0;
    for (const Entry& e : entries) width += kSample + kGap + image.measure(e.text, font).width + kSpace;
    double x = kPageWidth - kPageMargin - (width - kSpace);
    const double middle = top + font.height / 2;
    for (const Entry& e : entries) {
        if (e.dot) {
            for (double dx : {4.0, 12.0, 20.0})
                image.fillRectangle(x + dx - kS4Dot / 2, middle - kS4Dot / 2, kS4Dot, kS4Dot, e.colour);
        } else {
            image.line(x, middle, x + kSample, middle, e.colour == kTecColour ? kTecWidth : kElevationWidth, e.colour);
        }
        x += kSample + kGap;
        image.text(x, top, e.text, font, 0);
        x += image.measure(e.text, font).width + kSpace;
    }
}

}  // namespace

std::vector<PrnPanel> PrnPanels(const DayJob& job, bool fixedDayWindow) {
    std::vector<PrnPanel> panels;
    for (const auto& [satNo, series] : job.tec) {
        if (series.size() < kLeastEpochs) continue;
        PrnPanel& panel = panels.emplace_back();
        panel.satNo = satNo;
        double lastTec = 0.0, lastElevation = 0.0;
        for (const auto& [epochMjd, r] : series) {
            const double hour = hourOf(job, epochMjd);
            addPoint(panel.elevation, lastElevation, epochMjd, kElevationGap_day, {hour, r.elevation_deg});
            if (r.valid != 1) continue;
            if (r.s4 >= 0.0) panel.s4.push_back({hour, r.s4});
            if (r.elevation_deg >= kTecElevation_deg)
                addPoint(panel.tec, lastTec, epochMjd, kTecGap_day, {hour, r.verticalTec});
        }
        if (panel.tec.size() > 1 && spanOf(panel.tec.front()) < kShortPiece_h) panel.tec.erase(panel.tec.begin());
        if (panel.tec.size() > 1 && spanOf(panel.tec.back()) < kShortPiece_h) panel.tec.pop_back();
        setAxes(panel, fixedDayWindow);
    }
    return panels;
}

PlotStatus PlotPrnPages(const DayJob& job, const PagePath& pagePath, bool fixedDayWindow, bool highResolution,
                        RunLog& log) {
    log.say("\r\nPlotting the PRNs: ");
    const std::vector<PrnPanel> panels = PrnPanels(job, fixedDayWindow);
    if (panels.empty()) {
        log.append("\r\nError! unexpected no. of pages at Image creation...\r\n");
        return PlotStatus::kNothingToDraw;
    }
    const int pages = static_cast<int>((panels.size() + kPanelsPerPage - 1) / kPanelsPerPage);
    PlotStatus result = PlotStatus::kSaved;
    for (int page = 1; page <= pages; ++page) {
        GraphSpec spec = pageSpec(highResolution);
        PlotCanvas canvas;
        if (CreateCanvas(spec, canvas) != CanvasStatus::kCreated || !AcquireContext(canvas)) {
            log.append(strfmt("\r\nError! Could not create iPRN_page[%d]", page));
            return PlotStatus::kNoCanvas;
        }
        const GraphFrame band{kPageMargin, 8.0, kPageWidth - kPageMargin, kTitleBand};
        DrawTitlePair(canvas.image, band, band.top, PrnPageDateTitle(job), PrnPageStationTitle(job), LabelFont(spec),
                      spec.titleColour);
        drawLegend(canvas.image, {"Arial", double(kPanelFontHeight), false}, band.top + 2.0);
        for (int slot = 0; slot < kPanelsPerPage; ++slot) {
            const std::size_t index = static_cast<std::size_t>((page - 1) * kPanelsPerPage + slot);
            if (index < panels.size()) drawPanel(canvas, panels[index], slot, highResolution);
        }
        ReleaseContext(canvas);
        if (SaveFigure(canvas, pagePath(page), log) != PlotStatus::kSaved) result = PlotStatus::kSaveFailed;
    }
    log.say("\r\nPRN Plots  ...done!");
    return result;
}

}  // namespace velarix
