#pragma once
// The description of one figure: page or pixel size, resolution, margins, data ranges,
// pens, colours, fonts and titles, with the defaults every figure starts from and the
// validation that must pass before an image is made.
//
// All positions and sizes are logical units of `baseDpi` (100) dots per inch; a figure
// of a higher dpi has `scale` = dpi / baseDpi pixels per unit and the same layout.
#include <string>

#include "platform/canvas.h"

namespace velarix {

struct GraphSpec {
    int errorCount = -1;        // invalid settings found by validation; 0 = valid
    int hasCanvas = 0;          // 1 once a canvas is attached
    double scale = 1.0;         // pixels per logical unit
    double minDimension = 0.0;  // smaller of the logical width and height
    int logicalWidth = 0;
    int logicalHeight = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    int portrait = 1;   // 1: page 8.0 x 11.5 inches, otherwise 11.5 x 8.0
    int pageSized = 1;  // 1: pixel size from the page and dpi; 0: pixelWidth/Height given
    int dpi = 100;
    int baseDpi = 100;
    int bitsPerPixel = 24;  // the only depth the images have
    int marginTop = 30;     // frame insets, logical units
    int marginBottom = 40;
    int marginLeft = 50;
    int marginRight = 50;
    int marginOuter = 50;
    double xMin = 0.0, xMax = 0.0, xStep = 0.0;
    double yMin = 0.0, yMax = 0.0, yStep = 0.0;
    double zMin = 0.0, zMax = 0.0;  // range of the colour bar
    double tickDivisions = 5.0;     // divisions of the colour bar
    int yDecimals = 1;              // 0: chosen from the range; negative: none
    int panelMode = 0;              // 1: the figure is a rectangle of a larger canvas
    double panelLeft = 0.0, panelTop = 0.0, panelWidth = 0.0, panelHeight = 0.0;
    int colourBarDecimals = 1;
    int colourBarLabels = 1;
    int axisPenWidth = 2;  // 1 to 10
    int gridPenWidth = 1;
    Colour axisColour = 0;
    Colour gridColour = 0;
    Colour backgroundColour = 0xFFFFFF;
    Colour labelColour = 0;  // tick labels and axis titles
    Colour titleColour = 0;  // figure titles
    Colour curveColour = 0;
    int yTitleFontHeight = 20;  // the rotated y title; 4 to 100
    int labelFontHeight = 20;   // 4 to 100
    int smallFontHeight = 15;   // 2 to 40
    int largeFontHeight = 30;   // 10 to 200
    std::string xTitle = "X-axis";
    std::string yTitle = "Y-axis";
    std::string zTitle = "Z-axis";
};

enum class GraphStatus {
    kValid = 0,
    kBadFonts = -1,
    kBadColours = -2,
    kBadPens = -3,
    kBadPixelSize = -4,  // a given side below 101, a page too large for an image, not 24 bits
    kBadMargins = -5,
    kBadPanel = -6,  // panel rectangle or tickDivisions
};

constexpr int kHighResolutionDpi = 300;

// A landscape page (11.5 x 8.0 inches) at 100 dpi, or at 300 dpi with the same layout.
GraphSpec LandscapePage(bool highResolution);

// Checks the groups in this order and returns the first that fails; sets errorCount,
// the pixel size (from the page when pageSized), scale, the logical size and
// minDimension.
[[nodiscard]] GraphStatus ValidateGraph(GraphSpec& spec);

// The axis frame, logical units: of the whole canvas, or of the panel in panel mode.
struct GraphFrame {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
};
GraphFrame FrameOf(const GraphSpec& spec);

// Fonts of a figure.
FontSpec YTitleFont(const GraphSpec& spec);  // rotated
FontSpec LabelFont(const GraphSpec& spec);
FontSpec SmallFont(const GraphSpec& spec);

}  // namespace velarix
