#include "products/bias_figure_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "platform/strfmt.h"
#include "products/axes.h"
#include "products/plot_canvas.h"
#include "products/plot_texts.h"

namespace velarix {

namespace {

using TecCurves = std::map<int, std::vector<TecFigurePoint>>;

constexpr double kHeaderBand = 30.0;
constexpr double kPanelHeight = 380.0;  // two panels, 10 units to spare at the bottom
constexpr double kPageWidth = 1150.0;
constexpr int kMostTecIntervals = 8;
constexpr double kLineBreak_h = 0.2;  // 12 minutes
constexpr double kCurveWidth = 1.5;
constexpr double kS4Dot = 3.0;
constexpr double kS4Step = 0.2;
constexpr Colour kTitleColour = 0x960000;
constexpr Colour kS4Colour = 0x000000;

// Ten colours that tell neighbouring satellites apart, in turn.
constexpr std::array<Colour, 10> kPalette{rgbColour(31, 119, 180),  rgbColour(255, 127, 14),  rgbColour(44, 160, 44),
                                          rgbColour(214, 39, 40),   rgbColour(148, 103, 189), rgbColour(140, 86, 75),
                                          rgbColour(227, 119, 194), rgbColour(127, 127, 127), rgbColour(188, 189, 34),
                                          rgbColour(23, 190, 207)};

AxisRange tecRange(const TecCurves& curves) {
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    for (const auto& [satNo, points] : curves) {
        for (const TecFigurePoint& p : points) {
            if (!std::isfinite(p.tec)) continue;
            lowest = std::min(lowest, p.tec);
            highest = std::max(highest, p.tec);
        }
    }
    return NiceRange(lowest, highest, kMostTecIntervals);
}

GraphSpec panelSpec(const TecCurves& curves, int row, bool highResolution) {
    GraphSpec spec = LandscapePage(highResolution);
    spec.panelMode = 1;
    spec.panelTop = kHeaderBand + row * kPanelHeight;
    spec.panelWidth = kPageWidth;
    spec.panelHeight = kPanelHeight;
    spec.marginOuter = 0;
    spec.marginLeft = 80;
    spec.marginRight = 70;
    spec.marginTop = 34;
    spec.marginBottom = 46;
    spec.xMin = 0.0;
    spec.xMax = 24.0;
    spec.xStep = 2.0;
    const AxisRange y = tecRange(curves);
    spec.yMin = y.low;
    spec.yMax = y.high;
    spec.yStep = y.step;
    spec.yDecimals = StepDecimals(y.step) > 0 ? StepDecimals(y.step) : -1;
    spec.xTitle = "UT (hrs)";
    spec.yTitle = "TEC units";
    spec.titleColour = kTitleColour;
    return spec;
}

void drawCurves(Canvas& image, const FrameMap& map, const TecCurves& curves) {
    const auto inside = [&map](const TecFigurePoint& p) {
        return p.hour >= map.xMin && p.hour <= map.xMax && p.tec >= map.yMin && p.tec <= map.yMax;
    };
    std::size_t turn = 0;
    SegmentBatch batch(image, kCurveWidth);
    for (const auto& [satNo, points] : curves) {
        const Colour colour = kPalette[turn++ % kPalette.size()];
        batch.flush();  // each satellite's curve its own path, even where two meet
        for (std::size_t i = 1; i < points.size(); ++i) {
            const TecFigurePoint &a = points[i - 1], &b = points[i];
            if (b.hour - a.hour > kLineBreak_h || !inside(a) || !inside(b)) continue;
            batch.segment(map.x(a.hour), map.y(a.tec), map.x(b.hour), map.y(b.tec), colour);
        }
    }
}

// The S4 axis at the right of the frame and the largest S4 of each 0.05 h bin.
void drawS4(Canvas& image, const GraphSpec& spec, const BiasFigures& figures) {
    const GraphFrame f = FrameOf(spec);
    const FontSpec font = LabelFont(spec);
    double widest = 0.0;
    for (double s4 : TickValues(0.0, 1.0, kS4Step)) {
        const double y = f.bottom - s4 * f.height();
        image.line(f.right, y, f.right - 6.0, y, spec.gridPenWidth, spec.axisColour);
        const std::string label = strfmt("%1.1lf", s4);
        const TextSize size = image.measure(label, font);
        image.text(f.right + 5.0, y - size.height / 2, label, font, spec.labelColour);
        widest = std::max(widest, size.width);
    }
    const FontSpec rotated = YTitleFont(spec);
    const TextSize title = image.measure("S4", rotated);
    image.text(f.right + 5.0 + widest + 6.0, (f.top + f.bottom + title.width) / 2, "S4", rotated, spec.labelColour);

    FrameMap map = MapOf(spec);
    map.yMin = 0.0;
    map.yMax = 1.0;
    for (int bin = 0; bin < kS4FigureBins; ++bin) {
        const double s4 = figures.s4Max[static_cast<std::size_t>(bin)];
        if (!(s4 >= 0.0)) continue;
        const double x = map.x((bin + 0.5) * kS4FigureBin_h), y = map.y(std::min(s4, 1.0));
        image.fillRectangle(x - kS4Dot / 2, y - kS4Dot / 2, kS4Dot, kS4Dot, kS4Colour);
    }
}

// One panel: axes, title (and an extra line at the right of the title row), curves.
bool drawPanel(PlotCanvas& canvas, GraphSpec spec, const TecCurves& curves, const std::string& title,
               const std::string& rightNote) {
    if (ValidateGraph(spec) != GraphStatus::kValid) return false;
    spec.hasCanvas = 1;  // a rectangle of the figure's canvas
    if (DrawAxes(spec, canvas) != AxesStatus::kDrawn || !AcquireContext(canvas)) return false;
    Canvas& image = canvas.image;
    const GraphFrame f = FrameOf(spec);
    const FontSpec titleFont = LabelFont(spec);
    const double titleTop = f.top - 6.0 - image.measure(title, titleFont).height;
    image.text(f.left, titleTop, title, titleFont, spec.titleColour);
    if (!rightNote.empty()) {
        const FontSpec noteFont = SmallFont(spec);
        const double titleEnd = f.left + image.measure(title, titleFont).width;
        const std::string fitted = FittedText(image, rightNote, noteFont, f.right - titleEnd - 20.0);
        const TextSize note = image.measure(fitted, noteFont);
        image.text(f.right - note.width, f.top - 6.0 - note.height, fitted, noteFont, spec.labelColour);
    }
    drawCurves(image, MapOf(spec), curves);
    ReleaseContext(canvas);
    return true;
}

}  // namespace

PlotStatus DrawBiasFigure(const DayJob& job, const std::string& pngPath, bool highResolution, RunLog& log) {
    const BiasFigures& figures = job.bias.figures;
    if (figures.biasedTec.empty() || figures.removedTec.empty()) {
        log.append("\r\nInfo! No bias figure: the bias estimation ended before it gathered the calibrated TEC");
        return PlotStatus::kNothingToDraw;
    }
    GraphSpec page = LandscapePage(highResolution);
    page.titleColour = kTitleColour;
    PlotCanvas canvas;
    if (CreateCanvas(page, canvas) != CanvasStatus::kCreated || !AcquireContext(canvas)) {
        log.append("\r\nError! Can't draw the plot... " + pngPath);
        return PlotStatus::kNoCanvas;
    }
    const GraphSpec upper = panelSpec(figures.biasedTec, 0, highResolution);
    GraphSpec lower = panelSpec(figures.removedTec, 1, highResolution);
    const GraphFrame header = FrameOf(upper);
    DrawTitlePair(canvas.image, header, 8.0, BiasDateTitle(job), BiasStationTitle(job), LabelFont(page),
                  page.titleColour);
    const bool drawn =
        drawPanel(canvas, upper, figures.biasedTec, kBiasedTecTitle, "") &&
        drawPanel(canvas, lower, figures.removedTec, kRemovedTecTitle, figures.hasS4 ? S4SourceTitle(job) : "");
    if (drawn && figures.hasS4 && ValidateGraph(lower) == GraphStatus::kValid) drawS4(canvas.image, lower, figures);
    ReleaseContext(canvas);
    if (!drawn) {
        log.append("\r\nError! Can't draw the plot... " + pngPath);
        return PlotStatus::kNoCanvas;
    }
    return SavePng(canvas, pngPath) == PngStatus::kSaved ? PlotStatus::kSaved : PlotStatus::kSaveFailed;
}

}  // namespace velarix
