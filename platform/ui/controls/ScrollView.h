#pragma once

#include "platform/ui/View.h"

namespace platform::ui {

class ScrollView;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView&) { }
};

enum class ContentInsetAdjustmentBehavior { automatic, scrollableAxes, never, always };

// A view whose bounds origin is the content offset. Content placed with
// constraints on the content layout guide gives the content size.
class ScrollView : public View {
public:
    ScrollView();
    std::string className() const override { return "ScrollView"; }

    Size contentSize() const { return contentSize_; }
    void setContentSize(Size size) { contentSize_ = size; }
    Point contentOffset() const { return bounds().origin; }
    // Tells the delegate when the offset changed. Animated or not, the offset is
    // set at once; the toolkit has no scrolling physics.
    void setContentOffset(Point offset, bool animated = false);
    EdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(const EdgeInsets& insets) { contentInset_ = insets; }
    EdgeInsets verticalScrollIndicatorInsets() const { return verticalIndicatorInsets_; }
    void setVerticalScrollIndicatorInsets(const EdgeInsets& insets) { verticalIndicatorInsets_ = insets; }
    EdgeInsets horizontalScrollIndicatorInsets() const { return horizontalIndicatorInsets_; }
    void setHorizontalScrollIndicatorInsets(const EdgeInsets& insets) { horizontalIndicatorInsets_ = insets; }
    // The content inset plus the safe area when the behaviour asks for it.
    EdgeInsets adjustedContentInset() const;
    ContentInsetAdjustmentBehavior contentInsetAdjustmentBehavior() const { return adjustment_; }
    void setContentInsetAdjustmentBehavior(ContentInsetAdjustmentBehavior behavior) { adjustment_ = behavior; }

    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontal_ = shows; }
    bool showsVerticalScrollIndicator() const { return showsVertical_; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVertical_ = shows; }

    void setDelegate(std::weak_ptr<ScrollViewDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<ScrollViewDelegate> delegate() const { return delegate_.lock(); }

    LayoutGuide& contentLayoutGuide() { return contentGuide_; }
    LayoutGuide& frameLayoutGuide() { return frameGuide_; }

    // Where a finger lifting at `offset` leaves the content: inside the
    // scrollable range and, with paging, on the nearest page.
    Point restingOffset(Point offset) const;

protected:
    virtual void didScroll();

private:
    Size contentSize_;
    EdgeInsets contentInset_;
    EdgeInsets verticalIndicatorInsets_;
    EdgeInsets horizontalIndicatorInsets_;
    ContentInsetAdjustmentBehavior adjustment_ = ContentInsetAdjustmentBehavior::automatic;
    bool pagingEnabled_ = false;
    bool scrollEnabled_ = true;
    bool bounces_ = true;
    bool showsHorizontal_ = true;
    bool showsVertical_ = true;
    std::weak_ptr<ScrollViewDelegate> delegate_;
    LayoutGuide contentGuide_;
    LayoutGuide frameGuide_;
};

}
