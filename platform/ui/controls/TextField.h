#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/Label.h"

namespace platform::ui {

class TextField;

class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(TextField&) { return true; }
    virtual void textFieldDidBeginEditing(TextField&) { }
    virtual void textFieldDidEndEditing(TextField&) { }
};

enum class TextBorderStyle { none, line, bezel, roundedRect };
enum class TextFieldViewMode { never, whileEditing, unlessEditing, always };
enum class TextInputFeature { defaultValue, no, yes };

// One line of editable text. A tap makes it the first responder, which shows
// its input view (the keyboard's place) and accessory view at the bottom of the
// window. Subclasses override the rectangle and text-input operations.
class TextField : public Control {
public:
    TextField();
    ~TextField() override;
    std::string className() const override { return "TextField"; }

    const std::optional<std::string>& text() const { return text_; }
    void setText(std::optional<std::string> text) { text_ = std::move(text); }
    const std::optional<std::string>& placeholder() const { return placeholder_; }
    void setPlaceholder(std::optional<std::string> placeholder) { placeholder_ = std::move(placeholder); }
    std::optional<Color> placeholderColor() const { return placeholderColor_; }
    void setPlaceholderColor(std::optional<Color> color) { placeholderColor_ = color; }
    const Font& font() const { return font_; }
    void setFont(const Font& font) { font_ = font; }
    Color textColor() const { return textColor_; }
    void setTextColor(Color color) { textColor_ = color; }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment) { alignment_ = alignment; }
    TextBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TextBorderStyle style) { borderStyle_ = style; }
    TextInputFeature autocorrectionType() const { return autocorrection_; }
    void setAutocorrectionType(TextInputFeature type) { autocorrection_ = type; }
    TextInputFeature spellCheckingType() const { return spellChecking_; }
    void setSpellCheckingType(TextInputFeature type) { spellChecking_ = type; }

    const std::shared_ptr<View>& rightView() const { return rightView_; }
    void setRightView(std::shared_ptr<View> view);
    TextFieldViewMode rightViewMode() const { return rightViewMode_; }
    void setRightViewMode(TextFieldViewMode mode) { rightViewMode_ = mode; setNeedsLayout(); }
    const std::shared_ptr<View>& inputView() const { return inputView_; }
    void setInputView(std::shared_ptr<View> view) { inputView_ = std::move(view); }
    const std::shared_ptr<View>& inputAccessoryView() const { return inputAccessoryView_; }
    void setInputAccessoryView(std::shared_ptr<View> view) { inputAccessoryView_ = std::move(view); }

    void setDelegate(std::weak_ptr<TextFieldDelegate> delegate) { delegate_ = std::move(delegate); }

    // Asks the delegate first; false when it refuses or the field is in no window.
    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const { return editing_; }
    bool isEditing() const { return editing_; }
    // Ends editing here: resigns first responder.
    bool endEditing(bool force);

    // The platform's rectangle operations, in the field's coordinates.
    virtual Rect textRect(const Rect& bounds) const;
    virtual Rect editingRect(const Rect& bounds) const { return textRect(bounds); }
    virtual Rect placeholderRect(const Rect& bounds) const { return textRect(bounds); }
    virtual Rect rightViewRect(const Rect& bounds) const;
    // The text-input operations behind typing, the caret and the edit menu.
    virtual bool canPerformAction(const std::string& action) const;
    virtual Rect caretRect() const;
    virtual std::vector<Rect> selectionRects() const { return {}; }
    virtual void insertText(const std::string& text);
    virtual void deleteBackward();

    void layoutSubviews() override;
    std::optional<std::string> displayedText() const override;

protected:
    void tapped() override { becomeFirstResponder(); }

private:
    void showInputViews(bool show);

    std::optional<std::string> text_;
    std::optional<std::string> placeholder_;
    std::optional<Color> placeholderColor_;
    Font font_ = Font::systemFont(17);
    Color textColor_ = Color::label();
    TextAlignment alignment_ = TextAlignment::natural;
    TextBorderStyle borderStyle_ = TextBorderStyle::none;
    TextInputFeature autocorrection_ = TextInputFeature::defaultValue;
    TextInputFeature spellChecking_ = TextInputFeature::defaultValue;
    std::shared_ptr<View> rightView_;
    TextFieldViewMode rightViewMode_ = TextFieldViewMode::never;
    std::shared_ptr<View> inputView_;
    std::shared_ptr<View> inputAccessoryView_;
    std::weak_ptr<TextFieldDelegate> delegate_;
    bool editing_ = false;
};

}
