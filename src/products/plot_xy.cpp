#include "products/plot_xy.h"

#include <algorithm>
#include <cmath>

#include "products/axes.h"
#include "products/plot_canvas.h"

namespace velarix {

namespace {

constexpr Colour kTitleColour = 0x960000;
constexpr Colour kCurveColour = 0xDC0000;
constexpr double kCurveWidth = 2.0;
constexpr double kTitleGap = 10.0;

bool allFinite(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

PlotXYStatus PlotXY(const std::vector<double>& x, const std::vector<double>& y, const std::string& xTitle,
                    const std::string& yTitle, const std::string& title, const std::string& path) {
    if (x.size() != y.size() || x.size() < 3 || !allFinite(x) || !allFinite(y)) return PlotXYStatus::kBadInput;
    const auto [xLow, xHigh] = std::minmax_element(x.begin(), x.end());
    const auto [yLow, yHigh] = std::minmax_element(y.begin(), y.end());
    if (!(*xHigh > *xLow) || !(*yHigh > *yLow)) return PlotXYStatus::kBadInput;

    GraphSpec spec;
    spec.xMin = *xLow;
    spec.xMax = *xHigh;
    spec.xStep = (spec.xMax - spec.xMin) / 5;
    spec.yMin = *yLow;
    spec.yMax = *yHigh;
    spec.yStep = (spec.yMax - spec.yMin) / 5;
    spec.yDecimals = 0;
    spec.xTitle = xTitle;
    spec.yTitle = yTitle;
    spec.titleColour = kTitleColour;
    spec.curveColour = kCurveColour;
    PlotCanvas canvas;
    if (CreateCanvas(spec, canvas) != CanvasStatus::kCreated) return PlotXYStatus::kNoCanvas;
    if (DrawAxes(spec, canvas) != AxesStatus::kDrawn) {
        DestroyCanvas(canvas);
        return PlotXYStatus::kAxesFailed;
    }
    if (!AcquireContext(canvas)) return PlotXYStatus::kNoCanvas;
    Canvas& image = canvas.image;
    const GraphFrame f = FrameOf(spec);
    const FontSpec titleFont = LabelFont(spec);
    image.text(f.left, f.top - kTitleGap - image.measure(title, titleFont).height, title, titleFont, spec.titleColour);

    const double breakWidth = f.width() / 20;
    double previousX = 0.0, previousY = 0.0;
    SegmentBatch curve(image, kCurveWidth);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double px = f.left + (x[i] - spec.xMin) * f.width() / (spec.xMax - spec.xMin);
        const double py = f.bottom - (y[i] - spec.yMin) * f.height() / (spec.yMax - spec.yMin);
        if (i > 0 && std::fabs(px - previousX) <= breakWidth) curve.segment(previousX, previousY, px, py, spec.curveColour);
        previousX = px;
        previousY = py;
    }
    curve.flush();
    ReleaseContext(canvas);
    const PngStatus saved = SavePng(canvas, path);
    DestroyCanvas(canvas);
    return saved == PngStatus::kSaved ? PlotXYStatus::kSaved : PlotXYStatus::kSaveFailed;
}

}  // namespace velarix
