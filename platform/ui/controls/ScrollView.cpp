#include "platform/ui/controls/ScrollView.h"

#include <algorithm>
#include <cmath>

namespace platform::ui {

ScrollView::ScrollView()
    : contentGuide_(*this, LayoutGuide::Kind::scrollContent)
    , frameGuide_(*this, LayoutGuide::Kind::scrollFrame)
{
    setClipsToBounds(true);
}

void ScrollView::setContentOffset(Point offset, bool)
{
    Rect b = bounds();
    if (b.origin == offset)
        return;
    setBounds({offset, b.size});
    // Content that depends on what is visible (table rows) lays out again.
    setNeedsLayout();
    didScroll();
}

void ScrollView::didScroll()
{
    if (auto d = delegate())
        d->scrollViewDidScroll(*this);
}

EdgeInsets ScrollView::adjustedContentInset() const
{
    EdgeInsets inset = contentInset_;
    if (adjustment_ == ContentInsetAdjustmentBehavior::never)
        return inset;
    EdgeInsets safe = safeAreaInsets();
    return {inset.top + safe.top, inset.left + safe.left, inset.bottom + safe.bottom, inset.right + safe.right};
}

Point ScrollView::restingOffset(Point offset) const
{
    EdgeInsets inset = adjustedContentInset();
    double maxX = std::max(-inset.left, contentSize_.width + inset.right - bounds().width());
    double maxY = std::max(-inset.top, contentSize_.height + inset.bottom - bounds().height());
    Point resting {std::clamp(offset.x, -inset.left, maxX), std::clamp(offset.y, -inset.top, maxY)};
    if (pagingEnabled_) {
        double pageWidth = std::max(bounds().width(), 1.0);
        double pageHeight = std::max(bounds().height(), 1.0);
        resting = {std::round(resting.x / pageWidth) * pageWidth, std::round(resting.y / pageHeight) * pageHeight};
    }
    return resting;
}

}
