#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/controls/ScrollView.h"

namespace platform::ui {

// Scrollable text of many lines.
class TextView : public ScrollView {
public:
    TextView() { setAccessibilityElement(true); }
    std::string className() const override { return "TextView"; }

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); setNeedsLayout(); }
    const Font& font() const { return font_; }
    void setFont(const Font& font) { font_ = font; }
    Color textColor() const { return textColor_; }
    void setTextColor(Color color) { textColor_ = color; }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment) { alignment_ = alignment; }
    bool isEditable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }
    EdgeInsets textContainerInset() const { return inset_; }
    void setTextContainerInset(const EdgeInsets& inset) { inset_ = inset; }

    std::optional<std::string> displayedText() const override { return text_; }

private:
    std::string text_;
    Font font_ = Font::systemFont(12);
    Color textColor_ = Color::label();
    TextAlignment alignment_ = TextAlignment::natural;
    bool editable_ = true;
    EdgeInsets inset_ {8, 0, 8, 0};
};

}
