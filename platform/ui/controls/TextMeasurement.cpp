#include "platform/ui/controls/TextMeasurement.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform::ui {

namespace {

// Widths of one UTF-8 character: wide scripts take a full em, Latin about half.
std::vector<double> characterWidths(const std::string& text, double size)
{
    std::vector<double> widths;
    for (std::size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if (text[i] == '\n')
            widths.push_back(-1);
        else
            widths.push_back(length >= 3 ? size : size * 0.55);
        i += length;
    }
    return widths;
}

}

Size measureTextEstimate(const std::string& text, const Font& font, double widthLimit, int maximumLines)
{
    double lineHeight = std::ceil(font.pointSize * 1.2);
    if (text.empty())
        return {0, 0};
    int lines = 1;
    double current = 0;
    double widest = 0;
    for (double w : characterWidths(text, font.pointSize)) {
        if (w < 0 || (widthLimit > 0 && current + w > widthLimit && current > 0)) {
            widest = std::max(widest, current);
            ++lines;
            current = w < 0 ? 0 : w;
            continue;
        }
        current += w;
    }
    widest = std::max(widest, current);
    if (maximumLines > 0)
        lines = std::min(lines, maximumLines);
    if (widthLimit > 0)
        widest = std::min(widest, widthLimit);
    return {std::ceil(widest), lineHeight * lines};
}

}
