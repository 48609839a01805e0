#pragma once
// The axis frame of a figure: the frame, tick marks with their labels, the x title below
// and the y title turned upright at the left.
#include <string>
#include <vector>

#include "products/graph_spec.h"
#include "products/plot_canvas.h"

namespace velarix {

enum class AxesStatus {
    kDrawn = 0,
    kNoCanvas = -1,  // the description is invalid or has no canvas
    kBadRange = -2,  // a range that is empty, not finite, or needs more than 1000 ticks
};

[[nodiscard]] AxesStatus DrawAxes(const GraphSpec& spec, PlotCanvas& canvas);

// Decimals of the y tick labels: spec.yDecimals (none when negative), or when that is 0,
// 0 for a step above 5 over a range above 10, 2 for a range below 5, else 1.
int YTickDecimals(const GraphSpec& spec);
// How far left of the frame a y tick label starts, before it is moved further out to
// clear the frame: by its value (longer numbers further), the size of the y title font
// and whether decimals are shown.
double YLabelOffset(double value, int decimals, int yTitleFontHeight);
// Decimals that show a tick step: 0 for whole steps, else up to 3.
int StepDecimals(double step);
// min, min + step, ... up to max (with a little slack for rounding); empty when the range
// is empty or not finite, the step not positive, or there would be more than 1000 ticks.
std::vector<double> TickValues(double min, double max, double step);

// Data to frame positions.
struct FrameMap {
    GraphFrame frame;
    double xMin = 0.0, xMax = 1.0, yMin = 0.0, yMax = 1.0;
    double x(double value) const { return frame.left + (value - xMin) * frame.width() / (xMax - xMin); }
    double y(double value) const { return frame.bottom - (value - yMin) * frame.height() / (yMax - yMin); }
};
FrameMap MapOf(const GraphSpec& spec);

// An axis range around [min, max] in whole steps of 1, 2 or 5 times a power of ten, with
// at most `mostIntervals` (2 or more) steps; one value gets a range from 1 below it to 1
// above; 0 to 1 when min or max is not finite.
struct AxisRange {
    double low = 0.0, high = 1.0, step = 1.0;
};
AxisRange NiceRange(double min, double max, int mostIntervals);

// A title line above a frame: `left` from the frame's left edge, `middle` from its
// middle, or just after `left` when that reaches past the middle; `middle` is cut short
// where it would run off the image.
void DrawTitlePair(Canvas& image, const GraphFrame& frame, double top, const std::string& left,
                   const std::string& middle, const FontSpec& font, Colour colour);
// `text`, or as much of it as fits in `width` followed by "...".
std::string FittedText(Canvas& image, const std::string& text, const FontSpec& font, double width);

}  // namespace velarix
