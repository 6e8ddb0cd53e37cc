#include "TOLVEN/home/OverlayHostingController.h"

#include "platform/ui/Color.h"
#include "platform/ui/layout/LayoutConstraint.h"

namespace tolven {

void OverlayHostingController::viewDidLoad()
{
    const auto& root = view();
    root->setBackgroundColor(platform::ui::Color::systemBackground());
    root->setAlpha(0);
    root->setUserInteractionEnabled(false);

    blur->setTranslatesAutoresizingMaskIntoConstraints(false);
    root->addSubview(blur);
    platform::ui::LayoutConstraint::activate({
        blur->leadingAnchor().constraintEqualTo(root->leadingAnchor()),
        blur->trailingAnchor().constraintEqualTo(root->trailingAnchor()),
        blur->topAnchor().constraintEqualTo(root->topAnchor()),
        blur->bottomAnchor().constraintEqualTo(root->bottomAnchor()),
    });
}

} // namespace tolven
