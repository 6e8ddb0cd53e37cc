#include "platform/ui/controls/PageControl.h"

#include <algorithm>

namespace platform::ui {

void PageControl::setNumberOfPages(int pages)
{
    pages_ = std::max(0, pages);
    setCurrentPage(current_);
    invalidateIntrinsicContentSize();
}

void PageControl::setCurrentPage(int page)
{
    current_ = std::clamp(page, 0, std::max(0, pages_ - 1));
    setAccessibilityValue("page " + std::to_string(current_ + 1) + " of " + std::to_string(pages_));
}

std::shared_ptr<const Image> PageControl::indicatorImage(int page) const
{
    auto it = indicatorImages_.find(page);
    return it != indicatorImages_.end() ? it->second : nullptr;
}

bool PageControl::handleTap(Point pointInView)
{
    if (!isEnabled())
        return true;
    int next = pointInView.x < bounds().midX() ? current_ - 1 : current_ + 1;
    if (next >= 0 && next < pages_) {
        setCurrentPage(next);
        sendActions(ControlEvent::valueChanged);
    }
    return true;
}

}
