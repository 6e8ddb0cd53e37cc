#include "platform/ui/graphics/TextLayout.h"

#include "platform/ui/graphics/FontBackend.h"

#include <algorithm>
#include <string>

namespace platform::ui {

namespace {

PangoEllipsizeMode ellipsizeMode(LineBreakMode mode)
{
    switch (mode) {
    case LineBreakMode::byTruncatingHead: return PANGO_ELLIPSIZE_START;
    case LineBreakMode::byTruncatingTail: return PANGO_ELLIPSIZE_END;
    case LineBreakMode::byTruncatingMiddle: return PANGO_ELLIPSIZE_MIDDLE;
    default: return PANGO_ELLIPSIZE_NONE;
    }
}

void applyAlignment(PangoLayout* layout, TextAlignment alignment)
{
    pango_layout_set_justify(layout, alignment == TextAlignment::justified);
    switch (alignment) {
    case TextAlignment::center: pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER); break;
    case TextAlignment::right: pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT); break;
    default: pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT); break;
    }
}

void applyFont(PangoLayout* layout, const Font& font, double scale)
{
    auto description = fontDescription(font, scale);
    pango_layout_set_font_description(layout, description.get());
}

void applyWidth(PangoLayout* layout, double width)
{
    pango_layout_set_width(layout, width > 0 ? static_cast<int>(width * PANGO_SCALE) : -1);
}

bool fitsLineCount(PangoLayout* layout, int numberOfLines)
{
    return numberOfLines <= 0 || pango_layout_get_line_count(layout) <= numberOfLines;
}

// Returns the largest scale, down to the minimum factor, at which the text
// fits its lines, and leaves the layout at that scale.
double shrinkToFit(PangoLayout* layout, const Font& font, const TextOptions& options)
{
    double low = options.minimumScaleFactor;
    double high = 1;
    if (options.numberOfLines == 1) {
        // One line's width grows with the font size, so the ratio is nearly exact.
        applyWidth(layout, -1);
        PangoRectangle natural;
        pango_layout_get_extents(layout, nullptr, &natural);
        applyWidth(layout, options.widthLimit);
        if (natural.width > 0) {
            double guess = std::clamp(options.widthLimit * PANGO_SCALE / natural.width, low, 1.0);
            applyFont(layout, font, guess);
            if (fitsLineCount(layout, 1))
                return guess;
            high = guess;
        }
    }
    for (int step = 0; step < 8; ++step) {
        double middle = (low + high) / 2;
        applyFont(layout, font, middle);
        (fitsLineCount(layout, options.numberOfLines) ? low : high) = middle;
    }
    applyFont(layout, font, low);
    return low;
}

// Keeps the first lines that the options allow; returns whether text was left out.
bool limitLines(PangoLayout* layout, const std::string& text, const TextOptions& options)
{
    const int limit = options.numberOfLines;
    if (limit <= 0 || pango_layout_get_line_count(layout) <= limit)
        return false;
    const int lastStart = pango_layout_get_line_readonly(layout, limit - 1)->start_index;
    const int firstHidden = pango_layout_get_line_readonly(layout, limit)->start_index;

    auto ellipsize = ellipsizeMode(options.lineBreakMode);
    if (ellipsize != PANGO_ELLIPSIZE_NONE && options.widthLimit > 0) {
        int height = 0;
        for (int index = 0; index < limit; ++index) {
            PangoRectangle logical;
            pango_layout_line_get_extents(pango_layout_get_line_readonly(layout, index), nullptr, &logical);
            height += logical.height;
        }
        // The last shown line's paragraph runs on into the ellipsis; later paragraphs go.
        auto paragraphEnd = std::min(text.find_first_of("\r\n", lastStart), text.size());
        pango_layout_set_text(layout, text.data(), static_cast<int>(paragraphEnd));
        pango_layout_set_ellipsize(layout, ellipsize);
        pango_layout_set_height(layout, height);
        if (pango_layout_get_line_count(layout) <= limit)
            return true;
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_NONE);
        pango_layout_set_height(layout, -1);
    }
    // Without an ellipsis the hidden lines are simply cut off.
    auto keep = static_cast<std::size_t>(firstHidden);
    while (keep > 0 && (text[keep - 1] == '\n' || text[keep - 1] == '\r'))
        --keep;
    pango_layout_set_text(layout, text.data(), static_cast<int>(keep));
    return true;
}

std::string validUtf8(std::string_view text)
{
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        return std::string(text);
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

} // namespace

TextLayout layOutText(std::string_view rawText, const Font& font, const TextOptions& options)
{
    TextLayout result { GObjectPtr<PangoLayout>(pango_layout_new(pangoContext())), {} };
    PangoLayout* layout = result.layout.get();
    if (rawText.empty())
        return result;

    const std::string text = validUtf8(rawText);
    applyFont(layout, font, 1);
    applyWidth(layout, options.widthLimit);
    applyAlignment(layout, options.alignment);
    pango_layout_set_wrap(layout, options.lineBreakMode == LineBreakMode::byCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));

    auto& measurement = result.measurement;
    const bool mayShrink = options.adjustsFontSizeToFitWidth && options.widthLimit > 0 && options.numberOfLines > 0
        && options.minimumScaleFactor > 0 && options.minimumScaleFactor < 1;
    if (mayShrink && !fitsLineCount(layout, options.numberOfLines))
        measurement.fontScale = shrinkToFit(layout, font, options);
    measurement.truncated = limitLines(layout, text, options) || pango_layout_is_ellipsized(layout);

    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    measurement.size = { static_cast<double>(logical.width) / PANGO_SCALE, static_cast<double>(logical.height) / PANGO_SCALE };
    measurement.lineCount = pango_layout_get_line_count(layout);
    return result;
}

} // namespace platform::ui
