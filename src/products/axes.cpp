#include "products/axes.h"

#include <algorithm>
#include <cmath>

#include "platform/strfmt.h"

namespace velarix {

namespace {

constexpr int kMostTicks = 1000;
constexpr double kTickLength = 6.0;
constexpr double kLabelGap = 5.0;  // between a label and the frame, or a title and the labels

}  // namespace

std::vector<double> TickValues(double min, double max, double step) {
    if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(step) || !(max > min) || !(step > 0.0)) return {};
    const double count = std::floor((max - min) / step + 1e-6);
    if (count >= kMostTicks) return {};
    std::vector<double> ticks;
    for (int i = 0; i <= static_cast<int>(count); ++i) ticks.push_back(min + i * step);
    return ticks;
}

int YTickDecimals(const GraphSpec& spec) {
    if (spec.yDecimals < 0) return 0;
    if (spec.yDecimals != 0) return spec.yDecimals;
    const double range = spec.yMax - spec.yMin;
    if (spec.yStep > 5 && range > 10) return 0;
    return range < 5 ? 2 : 1;
}

double YLabelOffset(double value, int decimals, int yTitleFontHeight) {
    double offset = 12;
    if (value > 99) {
        offset = 30;
    } else if (value > 9) {
        offset = 20;
    } else if (value < -99) {
        offset = 35;
    } else if (value < 0) {
        offset = 30;
    }
    if (yTitleFontHeight >= 25) offset += 10;
    if (decimals > 0) offset += 10;
    return offset;
}

int StepDecimals(double step) {
    for (int decimals = 0; decimals < 3; ++decimals) {
        const double scaled = std::fabs(step) * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) return decimals;
    }
    return 3;
}

AxesStatus DrawAxes(const GraphSpec& spec, PlotCanvas& canvas) {
    if (spec.errorCount != 0 || spec.hasCanvas != 1 || !canvas.image.hasImage()) return AxesStatus::kNoCanvas;
    const std::vector<double> xTicks = TickValues(spec.xMin, spec.xMax, spec.xStep);
    const std::vector<double> yTicks = TickValues(spec.yMin, spec.yMax, spec.yStep);
    if (xTicks.empty() || yTicks.empty()) return AxesStatus::kBadRange;
    if (!AcquireContext(canvas)) return AxesStatus::kNoCanvas;
    Canvas& image = canvas.image;
    const GraphFrame f = FrameOf(spec);
    const FontSpec font = LabelFont(spec);

    image.frame(f.left, f.top, f.right, f.bottom, spec.axisPenWidth, spec.axisColour);

    const int xDecimals = std::max(StepDecimals(spec.xStep), StepDecimals(spec.xMin));
    double labelHeight = 0.0;
    for (double x : xTicks) {
        const double px = f.left + (x - spec.xMin) * f.width() / (spec.xMax - spec.xMin);
        image.line(px, f.bottom, px, f.bottom - kTickLength, spec.gridPenWidth, spec.axisColour);
        const std::string label = strfmt("%1.*lf", xDecimals, x);
        const TextSize size = image.measure(label, font);
        image.text(px - size.width / 2, f.bottom + kLabelGap, label, font, spec.labelColour);
        labelHeight = size.height;
    }

    const int yDecimals = YTickDecimals(spec);
    double labelsWidth = 0.0;  // from the frame to the left end of the widest label
    for (double y : yTicks) {
        const double py = f.bottom - (y - spec.yMin) * f.height() / (spec.yMax - spec.yMin);
        image.line(f.left, py, f.left + kTickLength, py, spec.gridPenWidth, spec.axisColour);
        const std::string label = strfmt("%1.*lf", yDecimals, y);
        const TextSize size = image.measure(label, font);
        // Narrow fonts fit within the offset; wider ones are moved out to clear the frame.
        const double offset = std::max(YLabelOffset(y, yDecimals, spec.yTitleFontHeight), size.width + kLabelGap);
        image.text(f.left - offset, py - size.height / 2, label, font, spec.labelColour);
        labelsWidth = std::max(labelsWidth, offset);
    }

    const TextSize xTitle = image.measure(spec.xTitle, font);
    image.text((f.left + f.right - xTitle.width) / 2, f.bottom + kLabelGap + labelHeight, spec.xTitle, font,
               spec.labelColour);
    const FontSpec yFont = YTitleFont(spec);
    const TextSize yTitle = image.measure(spec.yTitle, yFont);
    const double leftEdge = (spec.panelMode == 1 ? spec.panelLeft : 0.0) + 2.0;
    image.text(std::max(leftEdge, f.left - labelsWidth - kLabelGap - yTitle.height),
               (f.top + f.bottom + yTitle.width) / 2, spec.yTitle, yFont, spec.labelColour);
    ReleaseContext(canvas);
    return AxesStatus::kDrawn;
}

FrameMap MapOf(const GraphSpec& spec) { return {FrameOf(spec), spec.xMin, spec.xMax, spec.yMin, spec.yMax}; }

AxisRange NiceRange(double min, double max, int mostIntervals) {
    if (!std::isfinite(min) || !std::isfinite(max)) return {};
    if (max < min) std::swap(min, max);
    mostIntervals = std::max(mostIntervals, 2);              // any step at least the span fits in two
    if (max - min < 1e-9 * std::max(1.0, std::fabs(max))) {  // one value: a range around it
        min -= 1.0;
        max += 1.0;
    }
    const double span = max - min;
    double power = std::pow(10.0, std::floor(std::log10(span / mostIntervals)));
    for (;; power *= 10) {
        for (double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * power;
            const double low = std::floor(min / step) * step;
            double high = std::ceil(max / step) * step;
            if (high <= low) high = low + step;
            if ((high - low) / step <= mostIntervals + 1e-9) return {low, high, step};
        }
    }
}

void DrawTitlePair(Canvas& image, const GraphFrame& frame, double top, const std::string& left,
                   const std::string& middle, const FontSpec& font, Colour colour) {
    image.text(frame.left, top, left, font, colour);
    const double leftEnd = frame.left + image.measure(left, font).width;
    const double x = std::max((frame.left + frame.right) / 2, leftEnd + 2 * font.height);
    image.text(x, top, FittedText(image, middle, font, image.logicalWidth() - 4.0 - x), font, colour);
}

std::string FittedText(Canvas& image, const std::string& text, const FontSpec& font, double width) {
    if (image.measure(text, font).width <= width) return text;
    std::string cut = text;
    while (!cut.empty() && image.measure(cut + "...", font).width > width) cut.pop_back();
    return cut + "...";
}

}  // namespace velarix
