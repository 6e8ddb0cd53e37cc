#include "platform/ui/layout/LayoutGuide.h"

#include "platform/ui/View.h"
#include "platform/ui/controls/ScrollView.h"

namespace platform::ui {

Rect LayoutGuide::layoutFrame() const
{
    switch (kind_) {
    case Kind::safeArea:
        return owner_.bounds().inset(owner_.safeAreaInsets());
    case Kind::layoutMargins:
        return owner_.layoutMarginsFrame();
    case Kind::scrollContent:
        if (auto* scroll = dynamic_cast<const ScrollView*>(&owner_))
            return {{0, 0}, scroll->contentSize()};
        return owner_.bounds();
    case Kind::scrollFrame:
        return owner_.bounds();
    }
    return owner_.bounds();
}

LayoutAnchor LayoutGuide::anchor(LayoutAttribute attribute) const
{
    return LayoutAnchor(owner_.weak_from_this(), const_cast<LayoutGuide*>(this), attribute);
}

}
