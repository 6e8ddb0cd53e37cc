#include "platform/ui/render/Painter.h"

#include "platform/ui/graphics/ImageAccess.h"
#include "platform/ui/graphics/TextLayout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace platform::ui {

void setSourceColor(cairo_t* cr, const Color& color)
{
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

void addRoundedRectangle(cairo_t* cr, const Rect& rect, double cornerRadius)
{
    const double radius = std::clamp(cornerRadius, 0.0, std::min(rect.width(), rect.height()) / 2);
    if (radius <= 0) {
        cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
        return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, rect.maxX() - radius, rect.minY() + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, rect.maxX() - radius, rect.maxY() - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, rect.minX() + radius, rect.maxY() - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, rect.minX() + radius, rect.minY() + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void fillRectangle(cairo_t* cr, const Rect& rect, const Color& color, double cornerRadius)
{
    if (color.alpha <= 0 || rect.isEmpty())
        return;
    setSourceColor(cr, color);
    addRoundedRectangle(cr, rect, cornerRadius);
    cairo_fill(cr);
}

void strokeInsideRectangle(cairo_t* cr, const Rect& rect, const Color& color, double width, double cornerRadius)
{
    if (width <= 0 || color.alpha <= 0 || rect.isEmpty())
        return;
    // The band between the outline and the outline inset by the width.
    cairo_save(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    addRoundedRectangle(cr, rect, cornerRadius);
    const double inset = std::min(width, std::min(rect.width(), rect.height()) / 2);
    addRoundedRectangle(cr, rect.insetBy(inset, inset), std::max(0.0, cornerRadius - inset));
    setSourceColor(cr, color);
    cairo_fill(cr);
    cairo_restore(cr);
}

namespace {

// Draws the `source` pixels of the image into `target` points.
void paintImagePiece(cairo_t* cr, cairo_surface_t* surface, const Rect& source, const Rect& target, const std::optional<Color>& tint)
{
    if (source.isEmpty() || target.isEmpty())
        return;
    cairo_save(cr);
    cairo_rectangle(cr, target.minX(), target.minY(), target.width(), target.height());
    cairo_clip(cr);
    cairo_translate(cr, target.minX(), target.minY());
    cairo_scale(cr, target.width() / source.width(), target.height() / source.height());
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_matrix_t matrix;
    cairo_matrix_init_translate(&matrix, source.minX(), source.minY());
    cairo_pattern_set_matrix(pattern, &matrix);
    // Padding keeps the edges from fading into transparency when the image is scaled.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    if (tint) {
        setSourceColor(cr, *tint);
        cairo_mask(cr, pattern);
    } else {
        cairo_set_source(cr, pattern);
        cairo_paint(cr);
    }
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
}

} // namespace

void paintImage(cairo_t* cr, const Image& image, const Rect& destination, const std::optional<Color>& tint)
{
    if (destination.isEmpty())
        return;
    cairo_surface_t* surface = ImageAccess::surface(image);
    const double pixelWidth = image.pixelWidth();
    const double pixelHeight = image.pixelHeight();
    const auto& insets = image.capInsets();
    if (!insets || *insets == EdgeInsets {}) {
        paintImagePiece(cr, surface, { 0, 0, pixelWidth, pixelHeight }, destination, tint);
        return;
    }
    // Nine pieces: corners keep their size, edges stretch along, the centre both ways.
    const double scale = image.scale();
    const double sourceX[] = { 0, insets->left * scale, pixelWidth - insets->right * scale, pixelWidth };
    const double sourceY[] = { 0, insets->top * scale, pixelHeight - insets->bottom * scale, pixelHeight };
    const double targetX[] = { destination.minX(), destination.minX() + insets->left, destination.maxX() - insets->right, destination.maxX() };
    const double targetY[] = { destination.minY(), destination.minY() + insets->top, destination.maxY() - insets->bottom, destination.maxY() };
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            Rect source { sourceX[column], sourceY[row], sourceX[column + 1] - sourceX[column], sourceY[row + 1] - sourceY[row] };
            Rect target { targetX[column], targetY[row], targetX[column + 1] - targetX[column], targetY[row + 1] - targetY[row] };
            paintImagePiece(cr, surface, source, target, tint);
        }
    }
}

TextMeasurement paintText(cairo_t* cr, std::string_view text, const Font& font, const Color& color, TextOptions options, const Rect& bounds)
{
    options.widthLimit = bounds.width();
    auto laidOut = layOutText(text, font, options);
    if (text.empty() || color.alpha <= 0 || bounds.isEmpty())
        return laidOut.measurement;
    const double top = bounds.minY() + (bounds.height() - laidOut.measurement.size.height) / 2;
    cairo_save(cr);
    setSourceColor(cr, color);
    cairo_move_to(cr, bounds.minX(), top);
    pango_cairo_show_layout(cr, laidOut.layout.get());
    cairo_restore(cr);
    return laidOut.measurement;
}

void paintLinearGradient(cairo_t* cr, const Rect& rect, const std::vector<GradientStop>& stops, Point start, Point end, double cornerRadius)
{
    if (stops.empty() || rect.isEmpty())
        return;
    cairo_pattern_t* gradient = cairo_pattern_create_linear(rect.minX() + start.x * rect.width(), rect.minY() + start.y * rect.height(),
        rect.minX() + end.x * rect.width(), rect.minY() + end.y * rect.height());
    for (const auto& stop : stops)
        cairo_pattern_add_color_stop_rgba(gradient, std::clamp(stop.location, 0.0, 1.0), stop.color.red, stop.color.green, stop.color.blue, stop.color.alpha);
    cairo_save(cr);
    cairo_set_source(cr, gradient);
    addRoundedRectangle(cr, rect, cornerRadius);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(gradient);
}

void paintBlur(cairo_t* cr, const Rect& rect, const Color& tint, double cornerRadius)
{
    if (rect.isEmpty())
        return;
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    if (matrix.xy == 0 && matrix.yx == 0) {
        double x0 = rect.minX(), y0 = rect.minY(), x1 = rect.maxX(), y1 = rect.maxY();
        cairo_user_to_device(cr, &x0, &y0);
        cairo_user_to_device(cr, &x1, &y1);
        const double left = std::floor(std::min(x0, x1)), top = std::floor(std::min(y0, y1));
        const double width = std::ceil(std::max(x0, x1)) - left, height = std::ceil(std::max(y0, y1)) - top;
        // Shrinking by a box filter and stretching back is a cheap wide blur.
        constexpr double factor = 16;
        const int smallWidth = std::max(1, static_cast<int>(std::ceil(width / factor)));
        const int smallHeight = std::max(1, static_cast<int>(std::ceil(height / factor)));
        cairo_surface_t* small = createImageSurface(smallWidth, smallHeight);
        if (small) {
            cairo_surface_t* target = cairo_get_group_target(cr);
            cairo_surface_flush(target);
            cairo_t* shrink = cairo_create(small);
            cairo_scale(shrink, smallWidth / width, smallHeight / height);
            cairo_set_source_surface(shrink, target, -left, -top);
            cairo_pattern_set_filter(cairo_get_source(shrink), CAIRO_FILTER_GOOD);
            cairo_pattern_set_extend(cairo_get_source(shrink), CAIRO_EXTEND_PAD);
            cairo_paint(shrink);
            cairo_destroy(shrink);

            cairo_save(cr);
            addRoundedRectangle(cr, rect, cornerRadius);
            cairo_clip(cr);
            cairo_identity_matrix(cr);
            cairo_translate(cr, left, top);
            cairo_scale(cr, width / smallWidth, height / smallHeight);
            cairo_set_source_surface(cr, small, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
            cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_surface_destroy(small);
        }
    }
    fillRectangle(cr, rect, tint, cornerRadius);
}

} // namespace platform::ui
