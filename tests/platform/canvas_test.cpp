#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace velarix {

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = 0x0000FF;

// Pixels inside [x0, x1) x [y0, y1) that are not `background`.
int inkIn(const Canvas& c, int x0, int y0, int x1, int y1, Colour background = kWhite) {
    int ink = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) ink += c.pixel(x, y) != background ? 1 : 0;
    }
    return ink;
}

}  // namespace

TEST(Canvas, DrawsInLogicalUnitsSoThatEveryScaleHasTheSameLayout) {
    for (double scale : {1.0, 3.0}) {
        SCOPED_TRACE(scale);
        Canvas c;
        ASSERT_TRUE(c.create(static_cast<int>(200 * scale), static_cast<int>(100 * scale), scale));
        EXPECT_EQ(c.logicalWidth(), 200.0);
        EXPECT_EQ(c.pixel(10, 10), 0u);  // no context: nothing drawn, the image starts black
        c.fill(kWhite);
        EXPECT_EQ(c.pixel(10, 10), 0u);
        ASSERT_TRUE(c.openContext());
        c.fill(kWhite);
        c.fillRectangle(10, 10, 20, 20, kRed);
        c.line(100, 50, 180, 50, 4, 0x00FF00);
        c.closeContext();
        const auto at = [&](double x, double y) { return c.pixel(int(x * scale), int(y * scale)); };
        EXPECT_EQ(at(15, 15), kRed);
        EXPECT_EQ(at(29.5, 29.5), kRed);
        EXPECT_EQ(at(31, 31), kWhite);
        EXPECT_EQ(at(140, 50), 0x00FF00u);
        EXPECT_EQ(at(140, 53), kWhite);
        EXPECT_EQ(c.pixel(-1, 0), 0u);
        EXPECT_EQ(c.pixel(c.pixelWidth(), 0), 0u);
    }
    Canvas c;
    EXPECT_FALSE(c.create(0, 10, 1.0));
    EXPECT_FALSE(c.create(40000, 10, 1.0));
    EXPECT_FALSE(c.create(10, 10, 0.0));
    EXPECT_FALSE(c.hasImage());
    EXPECT_FALSE(c.openContext());
}

// Segments gathered into paths: every segment is drawn, in the order given (a later line
// in another colour covers an earlier one), and a gap starts a new path rather than
// bridging it.
TEST(Canvas, SegmentBatchDrawsEverySegmentInOrderAndNeverBridgesAGap) {
    constexpr Colour kBlue = 0xFF0000;
    Canvas c;
    ASSERT_TRUE(c.create(200, 100, 1.0));
    ASSERT_TRUE(c.openContext());
    c.fill(kWhite);
    {
        SegmentBatch batch(c, 4.0);
        // A horizontal line at y = 20 from many short segments, then a gap, then more.
        for (int x = 10; x < 90; x += 1) batch.segment(x, 20, x + 1, 20, kRed);
        for (int x = 120; x < 190; x += 10) batch.segment(x, 20, x + 10, 20, kRed);
        // A blue vertical line across the red one, drawn after it.
        batch.segment(50, 5, 50, 40, kBlue);
        // Red again, across the blue one: drawn last, so it lies on top.
        batch.segment(40, 30, 60, 30, kRed);
    }  // the rest is drawn when the batch ends
    c.closeContext();
    EXPECT_EQ(c.pixel(30, 20), kRed);
    EXPECT_EQ(c.pixel(150, 20), kRed);
    EXPECT_EQ(c.pixel(105, 20), kWhite);  // the gap between x = 90 and 120
    EXPECT_EQ(c.pixel(50, 20), kBlue);
    EXPECT_EQ(c.pixel(50, 10), kBlue);
    EXPECT_EQ(c.pixel(50, 30), kRed);
    // Round ends: the line reaches half its width past its last point, no further.
    EXPECT_NE(c.pixel(191, 20), kWhite);
    EXPECT_EQ(c.pixel(194, 20), kWhite);

    // Without a drawing context nothing is drawn, and nothing fails.
    Canvas closed;
    ASSERT_TRUE(closed.create(20, 20, 1.0));
    SegmentBatch idle(closed, 2.0);
    idle.segment(0, 10, 20, 10, kRed);
    idle.flush();
    EXPECT_EQ(inkIn(closed, 0, 0, 20, 20, 0), 0);
}

// Asked for by the name "Arial", text must come in a scalable font with Arial's metrics
// (Liberation Sans), never in a fallback of other widths or none.
TEST(Canvas, ArialResolvesToLiberationSansAndTextLeavesInkWhereItShould) {
    Canvas c;
    ASSERT_TRUE(c.create(300, 300, 1.0));
    EXPECT_EQ(c.resolvedFamily({"Arial", 20.0, false}), "Liberation Sans");
    // Digits are 0.556 em wide; the cell is 1.117 em: 10 digits of a 100-unit cell span 498.
    const TextSize digits = c.measure("0123456789", {"Arial", 100.0, false});
    EXPECT_NEAR(digits.width, 498.0, 5.0);
    EXPECT_NEAR(digits.height, 100.0, 0.5);

    ASSERT_TRUE(c.openContext());
    c.fill(kWhite);
    const FontSpec upright{"Arial", 30.0, false}, rotated{"Arial", 30.0, true};
    const TextSize title = c.measure("Title", upright);
    c.text(20, 20, "Title", upright, 0);
    c.text(200, 280, "Upwards", rotated, 0);
    c.closeContext();
    // Upright: ink inside its cell only.
    EXPECT_GT(inkIn(c, 20, 20, int(20 + title.width), 50), 100);
    EXPECT_EQ(inkIn(c, 0, 0, 300, 18) + inkIn(c, 0, 52, 190, 300), 0);
    // Rotated: a column from x 200 to 230 that ends at y 280 and runs up.
    const double length = c.measure("Upwards", rotated).width;
    EXPECT_GT(inkIn(c, 200, int(280 - length), 230, 280), 100);
    EXPECT_EQ(inkIn(c, 232, 60, 300, 300) + inkIn(c, 190, 282, 300, 300), 0);
}

TEST(Canvas, PngSavedWholeUnderItsNameOrNotAtAll) {
    TempDir dir;
    Canvas c;
    ASSERT_TRUE(c.create(120, 80, 1.0));
    ASSERT_TRUE(c.openContext());
    c.fill(kWhite);
    c.fillRectangle(0, 0, 10, 10, kRed);
    c.closeContext();
    const std::string path = dir.path() + "figure.png";
    ASSERT_EQ(c.savePng(path, ReplacePolicy::kReplaceRegularFile), OutputStatus::kOk);
    EXPECT_EQ(readWholeFile(path).substr(1, 3), "PNG");

    Canvas back;
    ASSERT_TRUE(back.loadPng(path));
    EXPECT_EQ(back.pixelWidth(), 120);
    EXPECT_EQ(back.pixelHeight(), 80);
    EXPECT_EQ(back.pixel(5, 5), kRed);
    EXPECT_EQ(back.pixel(50, 50), kWhite);

    // A folder under the name is refused; nothing is left beside it.
    std::filesystem::create_directory(dir.path() + "folder.png");
    EXPECT_EQ(c.savePng(dir.path() + "folder.png", ReplacePolicy::kReplaceRegularFile), OutputStatus::kNotRegularFile);
    EXPECT_EQ(runCommand("ls -A '" + dir.path() + "'").output, "figure.png\nfolder.png\n");
    EXPECT_NE(c.savePng(dir.path() + "missing/figure.png", ReplacePolicy::kReplaceRegularFile), OutputStatus::kOk);
    EXPECT_FALSE(back.loadPng(dir.path() + "folder.png"));
}

}  // namespace velarix
