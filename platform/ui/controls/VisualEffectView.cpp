#include "platform/ui/controls/VisualEffectView.h"

namespace platform::ui {

VisualEffectView::VisualEffectView(std::optional<BlurEffectStyle> effect)
    : effect_(effect)
    , contentView_(std::make_shared<View>())
{
    contentView_->setAutoresizingMask(flexibleWidth | flexibleHeight);
    addSubview(contentView_);
}

}
