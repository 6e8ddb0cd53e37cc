#pragma once

#include "platform/ui/ViewController.h"
#include "platform/ui/controls/VisualEffectView.h"

#include <memory>

namespace tolven {

// The content of a capture-cover window: a full-size blur over the system
// background, transparent until the cover fades it in, and never taking a
// touch.
class OverlayHostingController final : public platform::ui::ViewController {
public:
    std::string className() const override { return "OverlayHostingController"; }
    void viewDidLoad() override;

    const std::shared_ptr<platform::ui::VisualEffectView> blur =
        std::make_shared<platform::ui::VisualEffectView>(platform::ui::BlurEffectStyle::regular);
};

} // namespace tolven
