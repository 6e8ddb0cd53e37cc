#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/Label.h"

#include <map>
#include <optional>

namespace platform::ui {

class Image;

enum class TintAdjustmentMode { automatic, normal, dimmed };

// A control with a title, an image and a background image per state. A state
// without its own value shows the normal state's.
class Button : public Control {
public:
    Button();
    std::string className() const override { return "Button"; }

    void setTitle(std::optional<std::string> title, unsigned state = controlStateNormal);
    std::optional<std::string> title(unsigned state) const;
    void setTitleColor(std::optional<Color> color, unsigned state = controlStateNormal);
    Color titleColor(unsigned state) const;
    void setBackgroundImage(std::shared_ptr<const Image> image, unsigned state = controlStateNormal);
    std::shared_ptr<const Image> backgroundImage(unsigned state) const;
    void setImage(std::shared_ptr<const Image> image, unsigned state = controlStateNormal);
    std::shared_ptr<const Image> image(unsigned state) const;

    std::optional<std::string> currentTitle() const { return title(state()); }
    Color currentTitleColor() const { return titleColor(state()); }
    std::shared_ptr<const Image> currentBackgroundImage() const { return backgroundImage(state()); }

    // The label that shows the title; set its font here.
    Label& titleLabel() const { return *titleLabel_; }
    bool adjustsImageWhenDisabled() const { return adjustsImageWhenDisabled_; }
    void setAdjustsImageWhenDisabled(bool adjusts) { adjustsImageWhenDisabled_ = adjusts; }
    TintAdjustmentMode tintAdjustmentMode() const { return tintAdjustment_; }
    void setTintAdjustmentMode(TintAdjustmentMode mode) { tintAdjustment_ = mode; }
    // Newer systems style buttons through a configuration; the toolkit only
    // records whether one is set, so that code can remove it.
    bool hasConfiguration() const { return hasConfiguration_; }
    void setHasConfiguration(bool has) { hasConfiguration_ = has; }
    EdgeInsets contentEdgeInsets() const { return contentInsets_; }
    void setContentEdgeInsets(const EdgeInsets& insets) { contentInsets_ = insets; invalidateIntrinsicContentSize(); }

    void setEnabled(bool enabled) override;
    void setSelected(bool selected) override;
    Size intrinsicContentSize() const override;
    void layoutSubviews() override;
    std::optional<std::string> displayedText() const override { return currentTitle(); }

private:
    template<typename T> static std::optional<T> lookup(const std::map<unsigned, T>& table, unsigned state);
    void refreshTitle();

    std::map<unsigned, std::optional<std::string>> titles_;
    std::map<unsigned, Color> titleColors_;
    std::map<unsigned, std::shared_ptr<const Image>> backgroundImages_;
    std::map<unsigned, std::shared_ptr<const Image>> images_;
    std::shared_ptr<Label> titleLabel_;
    bool adjustsImageWhenDisabled_ = true;
    TintAdjustmentMode tintAdjustment_ = TintAdjustmentMode::automatic;
    bool hasConfiguration_ = false;
    EdgeInsets contentInsets_ {6, 12, 6, 12};
};

}
