#include "platform/canvas.h"

#include <cairo-ft.h>
#include <cairo.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/png_encoder.h"

namespace velarix {

namespace {

constexpr int kLargestSide_px = 32767;  // cairo's limit for image surfaces

double component(Colour colour, int shift) { return ((colour >> shift) & 0xFF) / 255.0; }

// Metrics that scale linearly with the size, so that a high-resolution image has exactly
// the layout of the 100-dpi one.
void setFontOptions(cairo_t* cr) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// A context of its own for measuring, so that measuring needs no open drawing context.
struct MeasureContext {
    explicit MeasureContext(cairo_surface_t* surface) : cr(cairo_create(surface)) { setFontOptions(cr); }
    ~MeasureContext() { cairo_destroy(cr); }
    cairo_t* cr;
};

}  // namespace

bool Canvas::create(int pixelWidth, int pixelHeight, double scale) {
    destroy();
    if (pixelWidth <= 0 || pixelHeight <= 0 || pixelWidth > kLargestSide_px || pixelHeight > kLargestSide_px ||
        !(scale > 0.0) || !std::isfinite(scale)) {
        return false;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, pixelWidth, pixelHeight);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    surface_ = surface;
    pixelWidth_ = pixelWidth;
    pixelHeight_ = pixelHeight;
    scale_ = scale;
    return true;
}

void Canvas::destroy() {
    closeContext();
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
    surface_ = nullptr;
    pixelWidth_ = pixelHeight_ = 0;
    scale_ = 1.0;
}

bool Canvas::openContext() {
    if (surface_ == nullptr) return false;
    if (context_ != nullptr) return true;
    cairo_t* cr = cairo_create(surface_);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr);
        return false;
    }
    cairo_scale(cr, scale_, scale_);
    setFontOptions(cr);
    context_ = cr;
    return true;
}

void Canvas::closeContext() {
    if (context_ == nullptr) return;
    cairo_destroy(context_);
    context_ = nullptr;
    cairo_surface_flush(surface_);
}

void Canvas::setColour(Colour colour) {
    cairo_set_source_rgb(context_, component(colour, 0), component(colour, 8), component(colour, 16));
}

void Canvas::fill(Colour colour) {
    if (context_ == nullptr) return;
    setColour(colour);
    cairo_paint(context_);
}

void Canvas::fillRectangle(double x, double y, double width, double height, Colour colour) {
    if (context_ == nullptr) return;
    setColour(colour);
    cairo_rectangle(context_, x, y, width, height);
    cairo_fill(context_);
}

void Canvas::line(double x0, double y0, double x1, double y1, double width, Colour colour) {
    if (context_ == nullptr) return;
    setColour(colour);
    cairo_set_line_width(context_, width);
    cairo_set_line_cap(context_, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(context_, x0, y0);
    cairo_line_to(context_, x1, y1);
    cairo_stroke(context_);
}

void Canvas::polyline(std::span<const CanvasPoint> points, double width, Colour colour) {
    if (context_ == nullptr || points.size() < 2) return;
    setColour(colour);
    cairo_set_line_width(context_, width);
    cairo_set_line_cap(context_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(context_, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(context_, points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(context_, points[i].x, points[i].y);
    cairo_stroke(context_);
}

void Canvas::frame(double left, double top, double right, double bottom, double width, Colour colour) {
    if (context_ == nullptr) return;
    setColour(colour);
    cairo_set_line_width(context_, width);
    cairo_set_line_join(context_, CAIRO_LINE_JOIN_MITER);
    cairo_rectangle(context_, left, top, right - left, bottom - top);
    cairo_stroke(context_);
}

void SegmentBatch::segment(double x0, double y0, double x1, double y1, Colour colour) {
    const bool continues = !points_.empty() && colour == colour_ && points_.back().x == x0 && points_.back().y == y0;
    if (!continues) {
        flush();
        colour_ = colour;
        points_.push_back({x0, y0});
    }
    points_.push_back({x1, y1});
}

void SegmentBatch::flush() {
    canvas_.polyline(points_, width_, colour_);
    points_.clear();
}

void Canvas::selectFont(cairo_t* cr, const FontSpec& font) {
    cairo_select_font_face(cr, font.family.c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 1.0);
    cairo_font_extents_t unit;
    cairo_font_extents(cr, &unit);
    const double cell = unit.ascent + unit.descent;
    cairo_set_font_size(cr, cell > 0.0 ? font.height / cell : font.height);
}

void Canvas::text(double x, double y, std::string_view text, const FontSpec& font, Colour colour) {
    if (context_ == nullptr || text.empty()) return;
    const std::string value(text);
    cairo_save(context_);
    selectFont(context_, font);
    cairo_font_extents_t extents;
    cairo_font_extents(context_, &extents);
    cairo_translate(context_, x, y);
    if (font.rotated) cairo_rotate(context_, -std::numbers::pi / 2.0);
    setColour(colour);
    cairo_move_to(context_, 0.0, extents.ascent);
    cairo_show_text(context_, value.c_str());
    cairo_new_path(context_);
    cairo_restore(context_);
}

TextSize Canvas::measure(std::string_view text, const FontSpec& font) {
    if (surface_ == nullptr) return {};
    MeasureContext m(surface_);
    selectFont(m.cr, font);
    cairo_font_extents_t fontExtents;
    cairo_font_extents(m.cr, &fontExtents);
    cairo_text_extents_t extents;
    const std::string value(text);
    cairo_text_extents(m.cr, value.c_str(), &extents);
    return {extents.x_advance, fontExtents.ascent + fontExtents.descent};
}

std::string Canvas::resolvedFamily(const FontSpec& font) {
    if (surface_ == nullptr) return {};
    MeasureContext m(surface_);
    selectFont(m.cr, font);
    cairo_scaled_font_t* scaled = cairo_get_scaled_font(m.cr);
    if (cairo_scaled_font_get_type(scaled) != CAIRO_FONT_TYPE_FT) return {};
    FT_Face face = cairo_ft_scaled_font_lock_face(scaled);
    std::string family = face != nullptr && face->family_name != nullptr ? face->family_name : "";
    cairo_ft_scaled_font_unlock_face(scaled);
    return family;
}

Colour Canvas::pixel(int x, int y) const {
    if (surface_ == nullptr || x < 0 || y < 0 || x >= pixelWidth_ || y >= pixelHeight_) return 0;
    if (context_ != nullptr) cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::uint32_t value;  // 0x00RRGGBB in native byte order
    const unsigned char* at = data + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 4;
    std::memcpy(&value, at, sizeof value);
    return rgbColour((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

OutputStatus Canvas::savePng(const std::string& path, ReplacePolicy policy) {
    if (surface_ == nullptr) return OutputStatus::kWriteFailed;
    cairo_surface_flush(surface_);
    std::string png;
    if (!EncodePngRgb24(cairo_image_surface_get_data(surface_), pixelWidth_, pixelHeight_,
                        cairo_image_surface_get_stride(surface_), png)) {
        return OutputStatus::kWriteFailed;
    }
    return writeFileAtomically(path, png, policy);
}

bool Canvas::loadPng(const std::string& path) {
    destroy();
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    surface_ = surface;
    pixelWidth_ = cairo_image_surface_get_width(surface);
    pixelHeight_ = cairo_image_surface_get_height(surface);
    return true;
}

}  // namespace velarix
