#include "platform/ui/controls/Button.h"

namespace platform::ui {

Button::Button()
    : titleLabel_(std::make_shared<Label>())
{
    titleLabel_->setTextAlignment(TextAlignment::center);
    titleLabel_->setFont(Font::systemFont(15));
    addSubview(titleLabel_);
    setAccessibilityElement(true);
    setAccessibilityTraits(accessibilityTraitButton);
}

template<typename T>
std::optional<T> Button::lookup(const std::map<unsigned, T>& table, unsigned state)
{
    if (auto it = table.find(state); it != table.end())
        return it->second;
    // Selected-and-highlighted and the like fall back to their plainer states.
    for (unsigned bit : {controlStateDisabled, controlStateSelected, controlStateHighlighted}) {
        if (auto it = table.find(state & bit); (state & bit) && it != table.end())
            return it->second;
    }
    if (auto it = table.find(controlStateNormal); it != table.end())
        return it->second;
    return std::nullopt;
}

void Button::setTitle(std::optional<std::string> title, unsigned state)
{
    titles_[state] = std::move(title);
    refreshTitle();
}

std::optional<std::string> Button::title(unsigned state) const
{
    auto found = lookup(titles_, state);
    return found ? *found : std::nullopt;
}

void Button::setTitleColor(std::optional<Color> color, unsigned state)
{
    if (color)
        titleColors_[state] = *color;
    else
        titleColors_.erase(state);
    refreshTitle();
}

Color Button::titleColor(unsigned state) const
{
    return lookup(titleColors_, state).value_or(tintColor());
}

void Button::setBackgroundImage(std::shared_ptr<const Image> image, unsigned state)
{
    backgroundImages_[state] = std::move(image);
}

std::shared_ptr<const Image> Button::backgroundImage(unsigned state) const
{
    return lookup(backgroundImages_, state).value_or(nullptr);
}

void Button::setImage(std::shared_ptr<const Image> image, unsigned state)
{
    images_[state] = std::move(image);
}

std::shared_ptr<const Image> Button::image(unsigned state) const
{
    return lookup(images_, state).value_or(nullptr);
}

void Button::setEnabled(bool enabled)
{
    Control::setEnabled(enabled);
    refreshTitle();
}

void Button::setSelected(bool selected)
{
    Control::setSelected(selected);
    refreshTitle();
}

void Button::refreshTitle()
{
    titleLabel_->setText(currentTitle());
    titleLabel_->setTextColor(currentTitleColor());
    invalidateIntrinsicContentSize();
}

Size Button::intrinsicContentSize() const
{
    Size text = titleLabel_->intrinsicContentSize();
    return {text.width + contentInsets_.left + contentInsets_.right, std::max(text.height, 18.0) + contentInsets_.top + contentInsets_.bottom};
}

void Button::layoutSubviews()
{
    titleLabel_->setFrame(bounds().inset(contentInsets_));
}

}
