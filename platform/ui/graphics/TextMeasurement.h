#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"

#include <string_view>

namespace platform::ui {

enum class TextAlignment { natural, left, center, right, justified };

enum class LineBreakMode {
    byWordWrapping,
    byCharWrapping,
    byClipping,
    byTruncatingHead,
    byTruncatingTail,
    byTruncatingMiddle,
};

// How a block of text is fitted into a width, as a label fits its text.
struct TextOptions {
    // The width lines break at; 0 or less lays out each paragraph on one line.
    double widthLimit = 0;
    // The most lines shown; 0 shows every line.
    int numberOfLines = 1;
    LineBreakMode lineBreakMode = LineBreakMode::byTruncatingTail;
    TextAlignment alignment = TextAlignment::natural;
    // Shrinks the font (never below minimumScaleFactor of its size) until the
    // text fits the width and the line count. A factor of 0 or 1 never shrinks.
    bool adjustsFontSizeToFitWidth = false;
    double minimumScaleFactor = 0;
};

struct TextMeasurement {
    // The size of the shown lines in points; empty text measures zero by zero.
    Size size;
    int lineCount = 0;
    // Some of the text is left out (cut off or replaced by an ellipsis).
    bool truncated = false;
    // The factor the font was shrunk by to fit, 1 when it was not.
    double fontScale = 1;
};

// Measures `text` (UTF-8; invalid bytes count as replacement characters) in
// `font` as it will be drawn. Use it on the main queue only.
TextMeasurement measureText(std::string_view text, const Font& font, const TextOptions& options = {});

} // namespace platform::ui
