#pragma once

#include "platform/ui/controls/Control.h"

#include <map>

namespace platform::ui {

class Image;

enum class PageControlBackgroundStyle { automatic, prominent, minimal };

// A row of dots, one per page, with the current one highlighted.
class PageControl : public Control {
public:
    PageControl() { setAccessibilityElement(true); }
    std::string className() const override { return "PageControl"; }

    int numberOfPages() const { return pages_; }
    void setNumberOfPages(int pages);
    int currentPage() const { return current_; }
    // Clamped to the pages there are.
    void setCurrentPage(int page);
    PageControlBackgroundStyle backgroundStyle() const { return style_; }
    void setBackgroundStyle(PageControlBackgroundStyle style) { style_ = style; }
    std::optional<Color> pageIndicatorTintColor() const { return indicatorTint_; }
    void setPageIndicatorTintColor(std::optional<Color> color) { indicatorTint_ = color; }
    std::optional<Color> currentPageIndicatorTintColor() const { return currentTint_; }
    void setCurrentPageIndicatorTintColor(std::optional<Color> color) { currentTint_ = color; }
    void setIndicatorImage(std::shared_ptr<const Image> image, int page) { indicatorImages_[page] = std::move(image); }
    std::shared_ptr<const Image> indicatorImage(int page) const;

    Size intrinsicContentSize() const override { return {pages_ * 16.0 + 16, 26}; }

protected:
    // A tap moves one page towards the side that was tapped.
    bool handleTap(Point pointInView) override;

private:
    int pages_ = 0;
    int current_ = 0;
    PageControlBackgroundStyle style_ = PageControlBackgroundStyle::automatic;
    std::optional<Color> indicatorTint_;
    std::optional<Color> currentTint_;
    std::map<int, std::shared_ptr<const Image>> indicatorImages_;
};

}
