#pragma once

#include "platform/ui/graphics/GObjectPtr.h"
#include "platform/ui/graphics/TextMeasurement.h"

#include <pango/pango.h>

namespace platform::ui {

// Text laid out for drawing, and its measurement. Measuring and drawing go
// through this one function so that what is drawn is what was measured.
struct TextLayout {
    GObjectPtr<PangoLayout> layout;
    TextMeasurement measurement;
};

TextLayout layOutText(std::string_view text, const Font& font, const TextOptions& options);

} // namespace platform::ui
