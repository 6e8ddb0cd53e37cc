#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"

#include <string>

namespace platform::ui {

// The size `text` takes in `font`, wrapped at `widthLimit` (no limit when 0 or
// less) and cut to `maximumLines` lines (no cut when 0).
// FIXME: an estimate from character classes until the Pango measurement is in.
Size measureTextEstimate(const std::string& text, const Font& font, double widthLimit, int maximumLines);

}
