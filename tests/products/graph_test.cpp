// The figure description, its canvas, axes, colour ramp and the generic x-y plot.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

#include "figure_day.h"
#include "products/axes.h"
#include "products/colour_ramp.h"
#include "products/graph_spec.h"
#include "products/plot_canvas.h"
#include "products/plot_xy.h"
#include "test_support.h"

namespace velarix {

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlue = 0xFF0000, kCyan = 0xFFFF00, kGreen = 0x00FF00, kYellow = 0x00FFFF, kRed = 0x0000FF;
constexpr Colour kMagenta = 0xFF00FF, kBlack = 0x000000;

}  // namespace

TEST(GraphSpec, InvalidSettingsReturnTheirGroupsCodeAndMakeNoImage) {
    const struct {
        const char* what;
        std::function<void(GraphSpec&)> change;
        GraphStatus code;
    } cases[] = {
        {"large font 9", [](GraphSpec& s) { s.largeFontHeight = 9; }, GraphStatus::kBadFonts},
        {"large font 201", [](GraphSpec& s) { s.largeFontHeight = 201; }, GraphStatus::kBadFonts},
        {"label font 3", [](GraphSpec& s) { s.labelFontHeight = 3; }, GraphStatus::kBadFonts},
        {"background above 0xFFFFFF", [](GraphSpec& s) { s.backgroundColour = 0x1000000; }, GraphStatus::kBadColours},
        {"curve colour above 0xFFFFFF", [](GraphSpec& s) { s.curveColour = 0xFFFFFFFF; }, GraphStatus::kBadColours},
        {"axis pen 0", [](GraphSpec& s) { s.axisPenWidth = 0; }, GraphStatus::kBadPens},
        {"given width 100", [](GraphSpec& s) { s.pageSized = 0, s.pixelWidth = 100, s.pixelHeight = 500; },
         GraphStatus::kBadPixelSize},
        {"dpi 0", [](GraphSpec& s) { s.dpi = 0; }, GraphStatus::kBadPixelSize},
        {"dpi 10000", [](GraphSpec& s) { s.dpi = 10000; }, GraphStatus::kBadPixelSize},
        {"32 bits per pixel", [](GraphSpec& s) { s.bitsPerPixel = 32; }, GraphStatus::kBadPixelSize},
        {"left margin 201 (a quarter of 800 is 200)", [](GraphSpec& s) { s.marginLeft = 201; },
         GraphStatus::kBadMargins},
        {"panel width 1", [](GraphSpec& s) { s.panelMode = 1, s.panelWidth = 1, s.panelHeight = 100; },
         GraphStatus::kBadPanel},
        {"panel past the right edge",
         [](GraphSpec& s) { s.panelMode = 1, s.panelLeft = 500, s.panelWidth = 301, s.panelHeight = 100; },
         GraphStatus::kBadPanel},
        {"no colour-bar divisions",
         [](GraphSpec& s) { s.panelMode = 1, s.panelWidth = 100, s.panelHeight = 100, s.tickDivisions = 0; },
         GraphStatus::kBadPanel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GraphSpec spec;
        c.change(spec);
        EXPECT_EQ(ValidateGraph(spec), c.code);
        EXPECT_EQ(spec.errorCount, 1);
        PlotCanvas canvas;
        EXPECT_EQ(CreateCanvas(spec, canvas), CanvasStatus::kInvalidGraph);
        EXPECT_FALSE(canvas.image.hasImage());
        EXPECT_EQ(spec.hasCanvas, 0);
    }
    // The first failing group is reported; all failures are counted. An invalid description leaves
    // an existing image as it was.
    GraphSpec spec;
    PlotCanvas canvas;
    ASSERT_EQ(CreateCanvas(spec, canvas), CanvasStatus::kCreated);
    spec.axisColour = 0x1000000;
    spec.labelFontHeight = 101;
    spec.gridPenWidth = 0;
    EXPECT_EQ(ValidateGraph(spec), GraphStatus::kBadFonts);
    EXPECT_EQ(spec.errorCount, 3);
    EXPECT_EQ(CreateCanvas(spec, canvas), CanvasStatus::kInvalidGraph);
    EXPECT_EQ(canvas.image.pixelWidth(), 800);
    EXPECT_EQ(canvas.image.pixel(400, 400), kWhite);
}

TEST(GraphSpec, PageSizeFromDpiWithTheLayoutOfOneHundredDpi) {
    const struct {
        int portrait, dpi;
        int width, height, logicalWidth;
        double scale;
    } cases[] = {
        {1, 100, 800, 1150, 800, 1.0},   {1, 300, 2400, 3450, 800, 3.0}, {0, 100, 1150, 800, 1150, 1.0},
        {0, 300, 3450, 2400, 1150, 3.0}, {1, 72, 576, 828, 576, 1.0},  // below 100 dpi: a smaller figure, not a smaller
                                                                       // layout
    };
    for (const auto& c : cases) {
        GraphSpec spec;
        spec.portrait = c.portrait;
        spec.dpi = c.dpi;
        ASSERT_EQ(ValidateGraph(spec), GraphStatus::kValid);
        EXPECT_EQ(spec.errorCount, 0);
        EXPECT_EQ(spec.pixelWidth, c.width);
        EXPECT_EQ(spec.pixelHeight, c.height);
        EXPECT_EQ(spec.logicalWidth, c.logicalWidth);
        EXPECT_EQ(spec.scale, c.scale);
    }
    GraphSpec given;
    given.pageSized = 0;
    given.pixelWidth = 101;
    given.pixelHeight = 640;
    given.marginTop = given.marginBottom = given.marginLeft = given.marginRight = given.marginOuter = 25;
    ASSERT_EQ(ValidateGraph(given), GraphStatus::kValid);
    EXPECT_EQ(given.minDimension, 101.0);

    // The frame is drawn at the same logical place at 100 and 300 dpi.
    for (int dpi : {100, 300}) {
        GraphSpec spec;
        spec.dpi = dpi;
        spec.xMin = 0, spec.xMax = 10, spec.xStep = 2;
        spec.yMin = 0, spec.yMax = 100, spec.yStep = 20;
        PlotCanvas canvas;
        ASSERT_EQ(CreateCanvas(spec, canvas), CanvasStatus::kCreated);
        ASSERT_EQ(DrawAxes(spec, canvas), AxesStatus::kDrawn);
        const GraphFrame f = FrameOf(spec);
        EXPECT_EQ(f.left, 100.0);
        EXPECT_EQ(f.bottom, 1060.0);
        const double s = spec.scale;
        EXPECT_EQ(canvas.image.pixel(int(f.left * s), int(500 * s)), kBlack) << dpi;
        EXPECT_EQ(canvas.image.pixel(int((f.left + 3) * s), int(500 * s)), kWhite) << dpi;
        EXPECT_EQ(canvas.contextCount, 0);
        EXPECT_FALSE(canvas.image.hasContext());
    }
}

TEST(DrawAxes, LabelsFollowTheDecimalsRuleAndNeverTouchTheFrame) {
    const auto decimals = [](int yDecimals, double min, double max, double step) {
        GraphSpec s;
        s.yDecimals = yDecimals, s.yMin = min, s.yMax = max, s.yStep = step;
        return YTickDecimals(s);
    };
    EXPECT_EQ(decimals(0, 0, 50, 10), 0);
    EXPECT_EQ(decimals(0, 0, 10, 10), 1);  // a range of 10 is not above 10
    EXPECT_EQ(decimals(0, 0, 20, 5), 1);
    EXPECT_EQ(decimals(0, 0, 4, 1), 2);
    EXPECT_EQ(decimals(3, 0, 50, 10), 3);
    EXPECT_EQ(decimals(-1, 0, 4, 1), 0);
    EXPECT_EQ(YLabelOffset(100, 0, 20), 30);
    EXPECT_EQ(YLabelOffset(10, 0, 20), 20);
    EXPECT_EQ(YLabelOffset(-100, 0, 20), 35);
    EXPECT_EQ(YLabelOffset(-1, 0, 20), 30);
    EXPECT_EQ(YLabelOffset(5, 0, 20), 12);
    EXPECT_EQ(YLabelOffset(5, 1, 25), 32);

    // Wide labels (large fonts, long numbers) move out of the frame's way: the strip just
    // left of the frame stays clear from top to bottom.
    for (int font : {20, 40}) {
        GraphSpec spec;
        spec.labelFontHeight = font;
        spec.xMin = 0, spec.xMax = 1, spec.xStep = 0.25;
        spec.yMin = -1000, spec.yMax = 1000, spec.yStep = 250;
        PlotCanvas canvas;
        ASSERT_EQ(CreateCanvas(spec, canvas), CanvasStatus::kCreated);
        ASSERT_EQ(DrawAxes(spec, canvas), AxesStatus::kDrawn);
        const GraphFrame f = FrameOf(spec);
        int ink = 0, labelInk = 0;
        for (int y = int(f.top) - 20; y < int(f.bottom) + 4; ++y) {
            for (int x = int(f.left) - 4; x < int(f.left) - 1; ++x) ink += canvas.image.pixel(x, y) != kWhite;
            for (int x = 0; x < int(f.left) - 4; ++x) labelInk += canvas.image.pixel(x, y) != kWhite;
        }
        EXPECT_EQ(ink, 0) << font;
        EXPECT_GT(labelInk, 500) << font;
    }

    GraphSpec spec;
    PlotCanvas canvas;
    EXPECT_EQ(DrawAxes(spec, canvas), AxesStatus::kNoCanvas);
    ASSERT_EQ(CreateCanvas(spec, canvas), CanvasStatus::kCreated);
    EXPECT_EQ(DrawAxes(spec, canvas), AxesStatus::kBadRange);  // the default ranges are empty
    spec.xMax = 1, spec.xStep = 1e-6, spec.yMax = 1, spec.yStep = 0.5;
    EXPECT_EQ(DrawAxes(spec, canvas), AxesStatus::kBadRange);  // a million ticks
    const FontSpec font{"Arial", 20.0, false};
    EXPECT_EQ(FittedText(canvas.image, "File: a.20o", font, 200), "File: a.20o");
    const std::string cut = FittedText(canvas.image, "File: " + std::string(100, 'x') + ".20o", font, 200);
    EXPECT_EQ(cut.substr(0, 7) + cut.substr(cut.size() - 4), "File: xx...");
    EXPECT_LE(canvas.image.measure(cut, font).width, 200);
    EXPECT_EQ(TickValues(0, 24, 2).size(), 13u);
    EXPECT_EQ(TickValues(0, 1, 0.2).size(), 6u);  // the last tick survives rounding
    EXPECT_TRUE(TickValues(0, 0, 1).empty());
}

TEST(ColourRamp, EndsMidpointAndQuartersExactInEveryMode) {
    const struct {
        double value;
        int mode;
        Colour colour;
    } cases[] = {
        {-20, 0, kBlue},  {-7.5, 0, kCyan},   {5, 0, kGreen}, {17.5, 0, kYellow}, {30, 0, kRed},   {-99, 0, kBlue},
        {99, 0, kRed},    {-20, 1, 0x7F0000}, {5, 1, kGreen}, {30, 1, kMagenta},  {-15, 1, kBlue}, {25, 1, kRed},
        {-21, 2, kBlack}, {31, 2, kMagenta},  {5, 2, kGreen}, {-20, 2, kBlue},    {30, 2, kRed},
    };
    for (const auto& c : cases) EXPECT_EQ(ColourRamp(c.value, -20, 30, c.mode), c.colour) << c.value << " " << c.mode;
    // One value for the whole range, or no range at all: the middle colour, never a
    // colour made from NaN.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(ColourRamp(7, 7, 7, mode), kGreen) << mode;
        EXPECT_EQ(ColourRamp(nan, 0, 10, mode), kGreen) << mode;
        EXPECT_EQ(ColourRamp(5, 0, nan, mode), kGreen) << mode;
    }
    EXPECT_EQ(ColourRamp(7, 10, 0, 0), kGreen);
    EXPECT_EQ(ColourRamp(6, 7, 7, 2), kBlack);
    EXPECT_EQ(ColourRamp(8, 7, 7, 2), kMagenta);
}

TEST(DrawColourBar, RampFromBottomToTopBesideThePanel) {
    GraphSpec spec;
    spec.panelMode = 1;
    spec.panelWidth = 800, spec.panelHeight = 1150;
    spec.marginRight = 90;
    spec.zMin = -20, spec.zMax = 30;
    PlotCanvas canvas;
    EXPECT_EQ(DrawColourBar(spec, canvas, 0), ColourBarStatus::kNoCanvas);
    ASSERT_EQ(CreateCanvas(spec, canvas), CanvasStatus::kCreated);
    ASSERT_EQ(DrawColourBar(spec, canvas, 0), ColourBarStatus::kDrawn);
    const GraphFrame f = FrameOf(spec);
    // The bar is inset by 10 at both ends of the frame: 960 high.
    const int x = int(f.right + 12 + 3);
    const double bottom = f.bottom - 10, top = f.top + 10;
    EXPECT_EQ(bottom - top, 960.0);
    EXPECT_TRUE(nearColour(canvas.image.pixel(x, int(bottom - 5)), ColourRamp(-20 + 5.0 / 960 * 50, -20, 30, 0)));
    EXPECT_TRUE(nearColour(canvas.image.pixel(x, int(top + 5)), ColourRamp(30 - 5.0 / 960 * 50, -20, 30, 0)));
    EXPECT_TRUE(nearColour(canvas.image.pixel(x, int(bottom - 481)), kGreen));
    spec.panelMode = 0;
    EXPECT_EQ(DrawColourBar(spec, canvas, 0), ColourBarStatus::kNotPanel);
}

TEST(PlotXY, DrawsOneSeriesBrokenAtWideStepsOrRefusesBadInput) {
    TempDir dir;
    const std::string path = dir.path() + "xy.png";
    const struct {
        std::vector<double> x, y;
    } bad[] = {
        {{1, 2}, {1, 2}},
        {{1, 2, 3}, {1, 2}},
        {{1, 2, 3}, {4, 4, 4}},
        {{1, 1, 1}, {1, 2, 3}},
        {{1, 2, std::numeric_limits<double>::infinity()}, {1, 2, 3}},
    };
    for (const auto& b : bad) EXPECT_EQ(PlotXY(b.x, b.y, "x", "y", "title", path), PlotXYStatus::kBadInput);
    EXPECT_FALSE(std::filesystem::exists(path));

    // 0..9 then a jump from 9 to 100: the step is far more than a twentieth of the width.
    std::vector<double> x, y;
    for (int i = 0; i < 10; ++i) x.push_back(i), y.push_back(i % 2);
    x.push_back(100), y.push_back(0);
    const std::string drawn = figurePath(dir.path(), "xy.png");
    ASSERT_EQ(PlotXY(x, y, "Hours", "Value", "A title", drawn), PlotXYStatus::kSaved);
    Canvas png;
    ASSERT_TRUE(png.loadPng(drawn));
    EXPECT_EQ(png.pixelWidth(), 800);
    EXPECT_EQ(png.pixelHeight(), 1150);
    // Frame (100, 80)-(750, 1060); y 0 at the bottom: the zigzag is drawn, the jump is not.
    const auto curveAt = [&png](double x, double y) {
        for (int dy = -2; dy <= 2; ++dy) {
            if (nearColour(png.pixel(int(x), int(y) + dy), 0xDC0000)) return true;
        }
        return false;
    };
    EXPECT_TRUE(curveAt(100 + 0.5 * 650 / 100, 570));
    EXPECT_TRUE(curveAt(100 + 8.5 * 650 / 100, 570));
    EXPECT_FALSE(curveAt((100 + 9 * 650 / 100 + 750) / 2, 570));
    EXPECT_EQ(PlotXY(x, y, "x", "y", "t", dir.path() + "missing/xy.png"), PlotXYStatus::kSaveFailed);
    EXPECT_EQ(PlotXY(x, y, "x", "y", "t", dir.path() + "xy.bmp"), PlotXYStatus::kSaveFailed);
}

}  // namespace velarix
