#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/layout/LayoutAnchor.h"

namespace platform::ui {

// A rectangle that constraints can use like a view. The safe-area, margins and
// frame guides follow their view; a scroll view's content guide is solved as
// the scrollable content, whose size becomes the content size.
class LayoutGuide {
public:
    enum class Kind { safeArea, layoutMargins, scrollContent, scrollFrame };

    LayoutGuide(View& owner, Kind kind) : owner_(owner), kind_(kind) { }
    LayoutGuide(const LayoutGuide&) = delete;
    LayoutGuide& operator=(const LayoutGuide&) = delete;

    Kind kind() const { return kind_; }
    View& owningView() const { return owner_; }
    // In the owning view's coordinates.
    Rect layoutFrame() const;

    LayoutAnchor leadingAnchor() const { return anchor(LayoutAttribute::leading); }
    LayoutAnchor trailingAnchor() const { return anchor(LayoutAttribute::trailing); }
    LayoutAnchor leftAnchor() const { return anchor(LayoutAttribute::left); }
    LayoutAnchor rightAnchor() const { return anchor(LayoutAttribute::right); }
    LayoutAnchor topAnchor() const { return anchor(LayoutAttribute::top); }
    LayoutAnchor bottomAnchor() const { return anchor(LayoutAttribute::bottom); }
    LayoutAnchor widthAnchor() const { return anchor(LayoutAttribute::width); }
    LayoutAnchor heightAnchor() const { return anchor(LayoutAttribute::height); }
    LayoutAnchor centerXAnchor() const { return anchor(LayoutAttribute::centerX); }
    LayoutAnchor centerYAnchor() const { return anchor(LayoutAttribute::centerY); }

private:
    LayoutAnchor anchor(LayoutAttribute attribute) const;

    View& owner_;
    Kind kind_;
};

}
