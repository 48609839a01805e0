#include "products/colour_ramp.h"

#include <algorithm>
#include <cmath>

#include "platform/strfmt.h"

namespace velarix {

namespace {

constexpr Colour kBlack = 0x000000;
constexpr Colour kMagenta = 0xFF00FF;
constexpr Colour kGreen = 0x00FF00;  // the middle of the ramp

constexpr double kStripWidth = 7.0;
constexpr double kStripHeight = 2.0;
constexpr double kBarGap = 12.0;    // frame to bar
constexpr double kLabelGap = 10.0;  // bar to labels
constexpr double kTallPanel = 250.0;

struct Rgb {
    double red = 1.0, green = 1.0, blue = 1.0;
};

int byte(double fraction) { return static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 255.0); }
Colour toColour(const Rgb& c) { return rgbColour(byte(c.red), byte(c.green), byte(c.blue)); }

// Blue, cyan, green, yellow, red; `v` within [min, max], max above min.
Rgb blueToRed(double v, double min, double max) {
    const double r = max - min;
    Rgb c;
    if (v < min + r / 4) {
        c.red = 0.0;
        c.green = 4 * (v - min) / r;
    } else if (v < min + r / 2) {
        c.red = 0.0;
        c.blue = 1 + 4 * (min + r / 4 - v) / r;
    } else if (v < min + 3 * r / 4) {
        c.red = 4 * (v - min - r / 2) / r;
        c.blue = 0.0;
    } else {
        c.green = 1 + 4 * (min + 3 * r / 4 - v) / r;
        c.blue = 0.0;
    }
    return c;
}

Rgb deepBlueToMagenta(double v, double min, double max) {
    const double tenth = (max - min) / 10;
    if (v < min + tenth) return {0.0, 0.0, 0.5 + 0.5 * (v - min) / tenth};
    if (v <= max - tenth) return blueToRed(v, min + tenth, max - tenth);
    return {1.0, 0.0, (v - (max - tenth)) / tenth};
}

}  // namespace

Colour ColourRamp(double value, double min, double max, int mode) {
    if (mode == kRampMarkOutside) {
        if (value < min) return kBlack;
        if (value > max) return kMagenta;
    }
    if (!(max > min) || !std::isfinite(min) || !std::isfinite(max) || std::isnan(value)) return kGreen;
    const double v = std::clamp(value, min, max);
    return toColour(mode == kRampDeepBlueToMagenta ? deepBlueToMagenta(v, min, max) : blueToRed(v, min, max));
}

ColourBarStatus DrawColourBar(const GraphSpec& spec, PlotCanvas& canvas, int mode) {
    if (spec.panelMode != 1) return ColourBarStatus::kNotPanel;
    if (spec.errorCount != 0 || spec.hasCanvas != 1 || !AcquireContext(canvas)) return ColourBarStatus::kNoCanvas;
    Canvas& image = canvas.image;
    const GraphFrame frame = FrameOf(spec);
    const double inset = spec.panelHeight > kTallPanel ? 10.0 : 5.0;
    const double left = frame.right + kBarGap, top = frame.top + inset, bottom = frame.bottom - inset;
    const double height = bottom - top;
    const double range = spec.zMax - spec.zMin;

    for (double y = bottom; y > top; y -= kStripHeight) {
        const double stripTop = std::max(top, y - kStripHeight);
        const double middle = (bottom - (stripTop + y) / 2) / height;
        image.fillRectangle(left, stripTop, kStripWidth, y - stripTop,
                            ColourRamp(spec.zMin + middle * range, spec.zMin, spec.zMax, mode));
    }
    image.frame(left, top, left + kStripWidth, bottom, 1.0, spec.axisColour);

    const FontSpec font = SmallFont(spec);
    const double imageRight = image.logicalWidth() - 2.0;
    if (spec.colourBarLabels == 1) {
        const int steps = static_cast<int>(spec.tickDivisions);
        for (int k = 0; k <= steps; ++k) {
            const double y = bottom - k * height / steps;
            const std::string label = strfmt("%2.*lf", spec.colourBarDecimals, spec.zMin + k * range / steps);
            const TextSize size = image.measure(label, font);
            const double x = std::min(left + kStripWidth + kLabelGap, imageRight - size.width);
            image.line(left + kStripWidth, y, left + kStripWidth + 4.0, y, 1.0, spec.axisColour);
            image.text(x, y - size.height / 2, label, font, spec.labelColour);
        }
    }
    const FontSpec titleFont = LabelFont(spec);
    const TextSize title = image.measure(spec.zTitle, titleFont);
    const double titleX =
        std::max(frame.right + 6.0, std::min(left + kStripWidth / 2 - title.width / 2, imageRight - title.width));
    image.text(titleX, top - title.height - 8.0, spec.zTitle, titleFont, spec.labelColour);
    ReleaseContext(canvas);
    return ColourBarStatus::kDrawn;
}

}  // namespace velarix
