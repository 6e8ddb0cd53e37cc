#include "platform/ui/controls/Label.h"

#include <cmath>

namespace platform::ui {

Label::Label()
{
    setUserInteractionEnabled(false);
    setAccessibilityElement(true);
    setAccessibilityTraits(accessibilityTraitStaticText);
    setContentHuggingPriority(251, LayoutAxis::horizontal);
    setContentHuggingPriority(251, LayoutAxis::vertical);
}

void Label::setText(std::optional<std::string> text)
{
    if (text == text_)
        return;
    text_ = std::move(text);
    invalidateIntrinsicContentSize();
}

void Label::setFont(const Font& font)
{
    font_ = font;
    invalidateIntrinsicContentSize();
}

void Label::setNumberOfLines(int lines)
{
    lines_ = lines;
    invalidateIntrinsicContentSize();
}

Size Label::measure(double widthLimit) const
{
    TextOptions options {
        .widthLimit = widthLimit,
        .numberOfLines = lines_,
        .lineBreakMode = lineBreak_,
        .alignment = alignment_,
    };
    // Whole points, so that layout never cuts the last pixel of a glyph.
    Size size = measureText(text_.value_or(""), font_, options).size;
    return {std::ceil(size.width), std::ceil(size.height)};
}

Size Label::intrinsicContentSize() const
{
    return measure(lines_ == 1 ? 0 : bounds().width());
}

Size Label::sizeThatFits(Size size) const
{
    return measure(lines_ == 1 ? 0 : size.width);
}

}
