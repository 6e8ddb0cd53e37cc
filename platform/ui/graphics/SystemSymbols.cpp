#include "platform/ui/graphics/SystemSymbols.h"

#include "platform/ui/graphics/ImageAccess.h"

#include <cmath>
#include <map>

namespace platform::ui {

namespace {

// Each symbol draws in a unit square.
void roundedSquare(cairo_t* cr, double inset, double radius)
{
    const double low = inset;
    const double high = 1 - inset;
    cairo_new_sub_path(cr);
    cairo_arc(cr, high - radius, low + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, high - radius, high - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, low + radius, high - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, low + radius, low + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void roundStroke(cairo_t* cr, double width)
{
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void drawSquare(cairo_t* cr)
{
    roundedSquare(cr, 0.1, 0.18);
    roundStroke(cr, 0.08);
}

void drawCheckmarkSquareFill(cairo_t* cr)
{
    roundedSquare(cr, 0.06, 0.2);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_move_to(cr, 0.28, 0.52);
    cairo_line_to(cr, 0.44, 0.68);
    cairo_line_to(cr, 0.72, 0.34);
    roundStroke(cr, 0.09);
}

void drawChevronDown(cairo_t* cr)
{
    cairo_move_to(cr, 0.2, 0.38);
    cairo_line_to(cr, 0.5, 0.66);
    cairo_line_to(cr, 0.8, 0.38);
    roundStroke(cr, 0.1);
}

const std::map<std::string, void (*)(cairo_t*)>& symbols()
{
    static const std::map<std::string, void (*)(cairo_t*)> table {
        { "square", drawSquare },
        { "checkmark.square.fill", drawCheckmarkSquareFill },
        { "chevron.down", drawChevronDown },
    };
    return table;
}

} // namespace

cairo_surface_t* drawSystemSymbol(const std::string& name, double pointSize, double scale)
{
    auto found = symbols().find(name);
    if (found == symbols().end() || !(pointSize > 0) || !(pointSize < 1000) || !(scale > 0))
        return nullptr;
    const int side = static_cast<int>(std::ceil(pointSize * scale));
    cairo_surface_t* surface = createImageSurface(side, side);
    if (!surface)
        return nullptr;
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, side, side);
    cairo_set_source_rgb(cr, 0, 0, 0);
    found->second(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

} // namespace platform::ui
