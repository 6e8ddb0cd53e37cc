#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/View.h"
#include "platform/ui/graphics/TextMeasurement.h"

namespace platform::ui {

// Read-only text. Its intrinsic size is its measured text; with more than one
// line allowed it wraps at its current width.
class Label : public View {
public:
    Label();
    std::string className() const override { return "Label"; }

    const std::optional<std::string>& text() const { return text_; }
    void setText(std::optional<std::string> text);
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    Color textColor() const { return textColor_; }
    void setTextColor(Color color) { textColor_ = color; }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment) { alignment_ = alignment; }
    // 0 means as many lines as the text needs.
    int numberOfLines() const { return lines_; }
    void setNumberOfLines(int lines);
    LineBreakMode lineBreakMode() const { return lineBreak_; }
    void setLineBreakMode(LineBreakMode mode) { lineBreak_ = mode; }
    bool adjustsFontSizeToFitWidth() const { return shrinks_; }
    void setAdjustsFontSizeToFitWidth(bool shrinks) { shrinks_ = shrinks; }
    double minimumScaleFactor() const { return minimumScale_; }
    void setMinimumScaleFactor(double scale) { minimumScale_ = scale; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    Size intrinsicContentSize() const override;
    Size sizeThatFits(Size size) const override;
    std::optional<std::string> displayedText() const override { return text_; }

private:
    Size measure(double widthLimit) const;

    std::optional<std::string> text_;
    Font font_ = Font::systemFont(17);
    Color textColor_ = Color::label();
    TextAlignment alignment_ = TextAlignment::natural;
    int lines_ = 1;
    LineBreakMode lineBreak_ = LineBreakMode::byTruncatingTail;
    bool shrinks_ = false;
    double minimumScale_ = 0;
    bool enabled_ = true;
};

}
