#pragma once
// A raster image to draw figures on: 24-bit RGB pixels, a drawing context opened on
// demand, lines, filled rectangles and text in fonts asked for by family name, read-back
// of pixels, and a PNG save that never leaves half a file under its final name.
//
// Positions, widths and font heights are in logical units; one logical unit is `scale`
// pixels in both directions, so a figure laid out for 100 dpi draws the same at 300 dpi
// with three times the pixels. Colours are 0x00BBGGRR.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/safe_output.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace velarix {

using Colour = std::uint32_t;  // 0x00BBGGRR

constexpr Colour rgbColour(int red, int green, int blue) {
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 | static_cast<Colour>(blue) << 16;
}

struct CanvasPoint {
    double x = 0.0;
    double y = 0.0;
};

struct FontSpec {
    std::string family = "Arial";
    // Height of the character cell (ascent + descent), as the platform's fonts take a
    // positive height; the em size is somewhat smaller.
    double height = 20.0;
    // Turned 90 degrees counter-clockwise: the text reads upwards.
    bool rotated = false;
};

// Along the text: advance width; across it: cell height (ascent + descent).
struct TextSize {
    double width = 0.0;
    double height = 0.0;
};

class Canvas {
public:
    Canvas() = default;
    ~Canvas() { destroy(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // A black image of the given pixels, replacing any image held. `scale` pixels per
    // logical unit (at least 1 pixel per unit is not required, but it must be positive).
    // False when the size is not positive or the image cannot be made.
    [[nodiscard]] bool create(int pixelWidth, int pixelHeight, double scale);
    void destroy();
    bool hasImage() const { return surface_ != nullptr; }
    int pixelWidth() const { return pixelWidth_; }
    int pixelHeight() const { return pixelHeight_; }
    double scale() const { return scale_; }
    double logicalWidth() const { return pixelWidth_ / scale_; }
    double logicalHeight() const { return pixelHeight_ / scale_; }

    // The drawing context: drawing calls do nothing without one.
    [[nodiscard]] bool openContext();
    void closeContext();
    bool hasContext() const { return context_ != nullptr; }

    void fill(Colour colour);
    void fillRectangle(double x, double y, double width, double height, Colour colour);
    // A straight line with round ends, so that consecutive segments join smoothly.
    void line(double x0, double y0, double x1, double y1, double width, Colour colour);
    // Connected straight lines through the points, with round joins and ends: the same
    // line as each segment drawn on its own, but one path for the renderer instead of one
    // per segment (a day's figures hold some 100,000 segments).
    void polyline(std::span<const CanvasPoint> points, double width, Colour colour);
    // Rectangle outline.
    void frame(double left, double top, double right, double bottom, double width, Colour colour);

    // Upright text: the top-left corner of its cell at (x, y). Rotated text: the string
    // starts at (x, y) and runs upwards, the top of its cell facing left (the cell covers
    // x to x + height and y - width to y).
    void text(double x, double y, std::string_view text, const FontSpec& font, Colour colour);
    // Needs an image (not a context).
    TextSize measure(std::string_view text, const FontSpec& font);
    // The family fontconfig picked for a requested one ("Liberation Sans" for "Arial").
    std::string resolvedFamily(const FontSpec& font);

    // The pixel at device position (x, y), 0x00BBGGRR; 0 outside the image.
    Colour pixel(int x, int y) const;

    // Replaces the image by a PNG file's, at scale 1; false when it cannot be read.
    [[nodiscard]] bool loadPng(const std::string& path);
    // Writes the image as PNG to a temporary name beside `path` and moves it into place.
    [[nodiscard]] OutputStatus savePng(const std::string& path, ReplacePolicy policy);

private:
    void setColour(Colour colour);
    // Selects the font on `cr` at the size that gives its cell height.
    static void selectFont(cairo_t* cr, const FontSpec& font);

    cairo_surface_t* surface_ = nullptr;
    cairo_t* context_ = nullptr;
    int pixelWidth_ = 0;
    int pixelHeight_ = 0;
    double scale_ = 1.0;
};

// Gathers segments drawn one after the other into polylines: a segment that starts where
// the previous one ended, in the same colour, continues its path; any other starts a new
// one. The paths are drawn in the order the segments came, so later lines still cover
// earlier ones.
class SegmentBatch {
public:
    SegmentBatch(Canvas& canvas, double width) : canvas_(canvas), width_(width) {}
    ~SegmentBatch() { flush(); }
    SegmentBatch(const SegmentBatch&) = delete;
    SegmentBatch& operator=(const SegmentBatch&) = delete;

    void segment(double x0, double y0, double x1, double y1, Colour colour);
    // Draws the path gathered so far.
    void flush();

private:
    Canvas& canvas_;
    double width_;
    Colour colour_ = 0;
    std::vector<CanvasPoint> points_;
};

}  // namespace velarix
