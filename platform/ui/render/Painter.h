#pragma once

// Cairo drawing steps the renderer composes: each takes a rectangle in the
// current user space (points) and leaves the context's state as it found it.

#include "platform/ui/graphics/Image.h"
#include "platform/ui/graphics/TextMeasurement.h"

#include <cairo.h>

#include <optional>
#include <string_view>
#include <vector>

namespace platform::ui {

void setSourceColor(cairo_t* cr, const Color& color);
void addRoundedRectangle(cairo_t* cr, const Rect& rect, double cornerRadius);
void fillRectangle(cairo_t* cr, const Rect& rect, const Color& color, double cornerRadius = 0);
// A border drawn inside the rectangle's edge, as a layer draws its border.
void strokeInsideRectangle(cairo_t* cr, const Rect& rect, const Color& color, double width, double cornerRadius = 0);

// Draws `image` stretched into `destination`. A template image (or any image
// when `tint` is given for one) is drawn as a mask in the tint colour; a
// resizable image keeps its cap insets unstretched.
void paintImage(cairo_t* cr, const Image& image, const Rect& destination, const std::optional<Color>& tint = std::nullopt);

// Lays out `text` to the width of `bounds` and draws it centred vertically, as
// a label does; returns the measurement.
TextMeasurement paintText(cairo_t* cr, std::string_view text, const Font& font, const Color& color, TextOptions options, const Rect& bounds);

struct GradientStop {
    double location;
    Color color;
};
// A linear gradient between two points given in the unit square of `rect`.
void paintLinearGradient(cairo_t* cr, const Rect& rect, const std::vector<GradientStop>& stops, Point start, Point end, double cornerRadius = 0);

// Blurs what has been drawn under `rect` so far (when the rectangle is not
// rotated) and lays `tint` over it.
void paintBlur(cairo_t* cr, const Rect& rect, const Color& tint, double cornerRadius = 0);

} // namespace platform::ui
