#pragma once

#include "platform/ui/View.h"

namespace platform::ui {

enum class BlurEffectStyle { extraLight = 0, light = 1, dark = 2, extraDark = 3, regular = 4, prominent = 5 };

// Blurs what lies behind it; its content goes into contentView.
class VisualEffectView : public View {
public:
    explicit VisualEffectView(std::optional<BlurEffectStyle> effect = std::nullopt);
    std::string className() const override { return "VisualEffectView"; }

    std::optional<BlurEffectStyle> effect() const { return effect_; }
    void setEffect(std::optional<BlurEffectStyle> effect) { effect_ = effect; }
    View& contentView() const { return *contentView_; }

private:
    std::optional<BlurEffectStyle> effect_;
    std::shared_ptr<View> contentView_;
};

}
