#pragma once
// Colours for values: the ramp that colours curves by a third quantity, and its legend.
#include "platform/canvas.h"
#include "products/graph_spec.h"
#include "products/plot_canvas.h"

namespace velarix {

enum RampMode : int {
    kRampBlueToRed = 0,          // blue, cyan, green, yellow, red
    kRampDeepBlueToMagenta = 1,  // dark blue to blue over the first tenth, mode 0, red to magenta over the last
    kRampMarkOutside = 2,        // as mode 0 inside the range; black below it, magenta above
};

// The colour of `value` on the ramp from `min` to `max`. When the range is empty (max
// not above min) or a number is not finite, every value inside takes the ramp's middle
// colour (green); mode 2 still marks values outside.
Colour ColourRamp(double value, double min, double max, int mode);

enum class ColourBarStatus {
    kDrawn = 0,
    kNotPanel = -1,
    kNoCanvas = -2,  // the description is invalid or has no canvas
};

// The legend of the ramp from spec.zMin to spec.zMax beside the right edge of the frame:
// strips 7 units wide and 2 high, labels "%2.*lf" every tickDivisions-th of the range
// 10 units right of the bar, and zTitle above it.
[[nodiscard]] ColourBarStatus DrawColourBar(const GraphSpec& spec, PlotCanvas& canvas, int mode);

}  // namespace velarix
