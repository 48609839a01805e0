// The day's figures of the real BJFS day, at 100 dpi and at high resolution: sizes, and
// plot areas that hold the curves' colours and the titles' ink.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "figure_day.h"
#include "real_day.h"
#include "platform/canvas.h"
#include "products/bias_figure_plot.h"
#include "products/plot_texts.h"
#include "products/prn_pages_plot.h"
#include "products/tec24h_plot.h"
#include "test_support.h"

namespace velarix {

namespace {

struct Loaded {
    Canvas image;
    int width = 0, height = 0;
};

// Pixels of [x0, x1) x [y0, y1), in 100-dpi units, whose colour is one of `colours`.
int exactPixelsOf(const Canvas& c, double scale, double x0, double y0, double x1, double y1,
                  const std::set<Colour>& colours) {
    int count = 0;
    for (int y = int(y0 * scale); y < int(y1 * scale); ++y) {
        for (int x = int(x0 * scale); x < int(x1 * scale); ++x) count += colours.count(c.pixel(x, y));
    }
    return count;
}

// Pixels of [x0, x1) x [y0, y1), in 100-dpi units, whose colour is near one of `colours`.
int pixelsOf(const Canvas& c, double scale, double x0, double y0, double x1, double y1,
             const std::set<Colour>& colours) {
    int count = 0;
    for (int y = int(y0 * scale); y < int(y1 * scale); ++y) {
        for (int x = int(x0 * scale); x < int(x1 * scale); ++x) {
            const Colour pixel = c.pixel(x, y);
            count += std::any_of(colours.begin(), colours.end(), [pixel](Colour k) { return nearColour(pixel, k); });
        }
    }
    return count;
}

constexpr Colour kTitleColour = 0x960000;

}  // namespace

TEST(RealDayFigures, TwentyFourHourPlotHoldsTheCurvesAndTitlesAtBothResolutions) {
    const DayJob& job = BjfsDay()->job;
    EXPECT_EQ(Tec24hStationTitle(job), "BJFS - Changgou,China ");
    TempDir dir;
    const Tec24hScales scales = SurveyTec24h(job);
    std::set<Colour> curveColours;
    for (const Tec24hSegment& s : Tec24hSegments(job, scales)) curveColours.insert(s.colour);
    ASSERT_GT(curveColours.size(), 20u);
    for (bool high : {false, true}) {
        SCOPED_TRACE(high ? "300 dpi" : "100 dpi");
        const std::string path = figurePath(dir.path(), high ? "bjfs-24h-300dpi.png" : "bjfs-24h.png");
        RunLog log;
        ASSERT_EQ(PlotTec24h(job, path, high, log), PlotStatus::kSaved) << log.messages;
        EXPECT_EQ(log.messages, "\r\nPlotting 24Hr TEC: \r\nPlot saved... " + path);
        Canvas png;
        ASSERT_TRUE(png.loadPng(path));
        const double scale = high ? 3.0 : 1.0;
        EXPECT_EQ(png.pixelWidth(), int(1150 * scale));
        EXPECT_EQ(png.pixelHeight(), int(800 * scale));
        // The frame runs from (100, 80) to (1060, 710): curves inside, the title above.
        EXPECT_GT(exactPixelsOf(png, scale, 102, 82, 1058, 708, curveColours), 10000 * scale * scale);
        EXPECT_GT(pixelsOf(png, scale, 100, 40, 1060, 78, {kTitleColour}), 300 * scale * scale);
        // The latitude bar (1072 to 1079 across, 90 to 700 down) in the curves' ramp:
        // magenta at the top, dark blue at the bottom.
        EXPECT_TRUE(nearColour(png.pixel(int(1075 * scale), int(92 * scale)), 0xFF00FF));
        EXPECT_TRUE(nearColour(png.pixel(int(1075 * scale), int(698 * scale)), 0x7F0000));
    }
}

TEST(RealDayFigures, PrnPagesShowEveryGpsSatelliteOnFourPages) {
    const DayJob& job = BjfsDay()->job;
    const std::vector<PrnPanel> panels = PrnPanels(job, false);
    EXPECT_EQ(panels.size(), 30u);  // the GPS satellites with ephemerides
    TempDir dir;
    for (bool high : {false, true}) {
        SCOPED_TRACE(high ? "300 dpi" : "100 dpi");
        const std::string stem = figurePath(dir.path(), high ? "bjfs-prn-300dpi_page" : "bjfs-prn_page");
        RunLog log;
        ASSERT_EQ(PlotPrnPages(
                      job, [&stem](int page) { return stem + std::to_string(page) + ".png"; }, false, high, log),
                  PlotStatus::kSaved)
            << log.messages;
        EXPECT_TRUE(contains(log.messages, "Plot saved... " + stem + "4.png\r\nPRN Plots  ...done!"));
        EXPECT_FALSE(std::filesystem::exists(stem + "5.png"));
        const double scale = high ? 3.0 : 1.0;
        for (int page = 1; page <= 4; ++page) {
            Canvas png;
            ASSERT_TRUE(png.loadPng(stem + std::to_string(page) + ".png"));
            EXPECT_EQ(png.pixelWidth(), int(1150 * scale));
            EXPECT_EQ(png.pixelHeight(), int(800 * scale));
            // The first panel: TEC (blue), elevation (grey) and pseudo-S4 (red). Each line is
            // drawn once, so only its middle is of its exact colour at 100 dpi.
            EXPECT_GT(pixelsOf(png, scale, 64, 66, 494, 188, {0xDC0000}), 150 * scale * scale);
            EXPECT_GT(pixelsOf(png, scale, 64, 66, 494, 188, {0x909090}), 100 * scale * scale);
            EXPECT_GT(pixelsOf(png, scale, 64, 66, 494, 188, {0x0000DC}), 20 * scale * scale);
        }
    }
}

TEST(RealDayFigures, BiasFigureShowsBothPanelsAndTheS4) {
    const DayJob& job = BjfsDay()->job;
    ASSERT_TRUE(job.bias.figures.hasS4);
    EXPECT_EQ(S4SourceTitle(job), "Psuedo-S4 from Rinex S1 (s/n values)");
    TempDir dir;
    for (bool high : {false, true}) {
        SCOPED_TRACE(high ? "300 dpi" : "100 dpi");
        const std::string path = figurePath(dir.path(), high ? "bjfs-wbias-300dpi.png" : "bjfs-wbias.png");
        RunLog log;
        ASSERT_EQ(DrawBiasFigure(job, path, high, log), PlotStatus::kSaved) << log.messages;
        EXPECT_EQ(log.messages, "");
        Canvas png;
        ASSERT_TRUE(png.loadPng(path));
        const double scale = high ? 3.0 : 1.0;
        EXPECT_EQ(png.pixelWidth(), int(1150 * scale));
        EXPECT_EQ(png.pixelHeight(), int(800 * scale));
        // Upper frame (80, 64)-(1080, 364), lower (80, 444)-(1080, 744): curves in the
        // first satellites' colours, S4 in black, titles above.
        const std::set<Colour> curves{0xB4771F, 0x0E7FFF, 0x2CA02C};
        EXPECT_GT(pixelsOf(png, scale, 82, 66, 1078, 362, curves), 1200 * scale * scale);
        EXPECT_GT(pixelsOf(png, scale, 82, 446, 1078, 742, curves), 1200 * scale * scale);
        EXPECT_GT(pixelsOf(png, scale, 82, 446, 1070, 742, {0x000000}), 500 * scale * scale);
        EXPECT_GT(pixelsOf(png, scale, 80, 30, 1080, 62, {kTitleColour}), 200 * scale * scale);
        EXPECT_GT(pixelsOf(png, scale, 80, 410, 1080, 442, {kTitleColour}), 200 * scale * scale);
    }
}

}  // namespace velarix
