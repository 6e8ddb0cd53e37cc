#pragma once

// The Pango side of the font library, for the toolkit's own text layout and
// drawing code.

#include "platform/ui/graphics/FontLibrary.h"
#include "platform/ui/graphics/GObjectPtr.h"

#include <pango/pango.h>

namespace platform::ui {

struct PangoFontDescriptionFree {
    void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, PangoFontDescriptionFree>;

// Layouts made in this context are measured in points, with unhinted metrics,
// so a measurement holds at every drawing scale.
PangoContext* pangoContext();

// `font` at `scale` times its size.
FontDescriptionPtr fontDescription(const Font& font, double scale = 1);

} // namespace platform::ui
