#pragma once

#include "platform/ui/Geometry.h"

#include <cairo.h>

namespace platform::ui {

class View;

// Draws what a view shows besides its layer (a label's text, an image view's
// image, a button's title, a text field's text, a blur), in its bounds, over
// the layer's background and under its sublayers.
void paintViewContent(cairo_t* cr, const View& view, const Rect& bounds);

// Draws what lies above a view's subviews: a table cell's separator.
void paintViewOverlay(cairo_t* cr, const View& view, const Rect& bounds);

} // namespace platform::ui
