#include "platform/ui/graphics/TextMeasurement.h"

#include "platform/ui/graphics/TextLayout.h"

namespace platform::ui {

TextMeasurement measureText(std::string_view text, const Font& font, const TextOptions& options)
{
    return layOutText(text, font, options).measurement;
}

} // namespace platform::ui
