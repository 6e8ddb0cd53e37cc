#include "platform/ui/controls/Label.h"

#include "platform/ui/controls/TextMeasurement.h"

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

Size Label::intrinsicContentSize() const
{
    double wrapWidth = lines_ == 1 ? 0 : bounds().width();
    return measureTextEstimate(text_.value_or(""), font_, wrapWidth, lines_);
}

Size Label::sizeThatFits(Size size) const
{
    return measureTextEstimate(text_.value_or(""), font_, lines_ == 1 ? 0 : size.width, lines_);
}

}
