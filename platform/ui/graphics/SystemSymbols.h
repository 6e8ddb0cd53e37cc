#pragma once

#include <cairo.h>

#include <string>

namespace platform::ui {

// Draws one of the system symbols the toolkit knows, in black on clear, on a
// square of `pointSize` points at `scale` pixels per point. Unknown names and
// sizes that are not positive give no surface.
cairo_surface_t* drawSystemSymbol(const std::string& name, double pointSize, double scale);

} // namespace platform::ui
