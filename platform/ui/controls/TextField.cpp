#include "platform/ui/controls/TextField.h"

#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace platform::ui {

TextField::TextField()
{
    setAccessibilityElement(true);
}

TextField::~TextField()
{
    if (inputView_)
        inputView_->removeFromSuperview();
    if (inputAccessoryView_)
        inputAccessoryView_->removeFromSuperview();
}

void TextField::setRightView(std::shared_ptr<View> view)
{
    if (rightView_)
        rightView_->removeFromSuperview();
    rightView_ = std::move(view);
    if (rightView_)
        addSubview(rightView_);
    setNeedsLayout();
}

bool TextField::becomeFirstResponder()
{
    if (editing_)
        return true;
    Window* w = window();
    if (!w)
        return false;
    if (auto d = delegate_.lock(); d && !d->textFieldShouldBeginEditing(*this))
        return false;
    if (View* current = w->firstResponder())
        if (auto* field = dynamic_cast<TextField*>(current); field && field != this)
            field->resignFirstResponder();
    editing_ = true;
    w->setFirstResponder(this);
    showInputViews(true);
    setNeedsLayout();
    if (auto d = delegate_.lock())
        d->textFieldDidBeginEditing(*this);
    sendActions(ControlEvent::editingDidBegin);
    return true;
}

bool TextField::resignFirstResponder()
{
    if (!editing_)
        return true;
    editing_ = false;
    if (Window* w = window(); w && w->firstResponder() == this)
        w->setFirstResponder(nullptr);
    showInputViews(false);
    setNeedsLayout();
    if (auto d = delegate_.lock())
        d->textFieldDidEndEditing(*this);
    sendActions(ControlEvent::editingDidEnd);
    return true;
}

bool TextField::endEditing(bool)
{
    return resignFirstResponder();
}

void TextField::showInputViews(bool show)
{
    Window* w = window();
    for (auto* view : {&inputView_, &inputAccessoryView_}) {
        if (*view && !show)
            (*view)->removeFromSuperview();
    }
    if (!show || !w)
        return;
    double bottom = w->bounds().height();
    if (inputView_) {
        double height = inputView_->intrinsicContentSize().height > 0 ? inputView_->intrinsicContentSize().height : 216;
        height += Screen::main().safeAreaInsets().bottom;
        bottom -= height;
        inputView_->setFrame({0, bottom, w->bounds().width(), height});
        w->addSubview(inputView_);
    }
    if (inputAccessoryView_) {
        double height = inputAccessoryView_->frame().height() > 0 ? inputAccessoryView_->frame().height() : 44;
        inputAccessoryView_->setFrame({0, bottom - height, w->bounds().width(), height});
        w->addSubview(inputAccessoryView_);
    }
}

Rect TextField::rightViewRect(const Rect& bounds) const
{
    if (!rightView_)
        return {};
    Size size = rightView_->bounds().size;
    return {bounds.maxX() - size.width, bounds.minY() + (bounds.height() - size.height) / 2, size.width, size.height};
}

Rect TextField::textRect(const Rect& bounds) const
{
    double inset = borderStyle_ == TextBorderStyle::none ? 0 : 7;
    Rect rect = bounds.inset({0, inset, 0, inset});
    if (rightView_ && rightViewMode_ != TextFieldViewMode::never)
        rect.size.width -= rightViewRect(bounds).width();
    return rect;
}

bool TextField::canPerformAction(const std::string& action) const
{
    bool hasText = text_ && !text_->empty();
    if (action == "copy" || action == "cut" || action == "select" || action == "selectAll")
        return hasText;
    return action == "paste";
}

Rect TextField::caretRect() const
{
    Rect text = textRect(bounds());
    return {text.minX(), text.minY() + 4, 2, std::max(0.0, text.height() - 8)};
}

void TextField::insertText(const std::string& text)
{
    text_ = text_.value_or("") + text;
    sendActions(ControlEvent::editingChanged);
}

void TextField::deleteBackward()
{
    if (!text_ || text_->empty())
        return;
    // Remove one whole UTF-8 character.
    std::size_t end = text_->size() - 1;
    while (end > 0 && (static_cast<unsigned char>((*text_)[end]) & 0xC0) == 0x80)
        --end;
    text_->erase(end);
    sendActions(ControlEvent::editingChanged);
}

void TextField::layoutSubviews()
{
    if (!rightView_)
        return;
    bool shown = rightViewMode_ == TextFieldViewMode::always || (rightViewMode_ == TextFieldViewMode::whileEditing && editing_)
        || (rightViewMode_ == TextFieldViewMode::unlessEditing && !editing_);
    rightView_->setHidden(!shown);
    rightView_->setFrame(rightViewRect(bounds()));
}

std::optional<std::string> TextField::displayedText() const
{
    if (text_ && !text_->empty())
        return text_;
    return placeholder_;
}

}
