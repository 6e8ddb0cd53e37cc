#pragma once

#include "platform/ui/layout/LayoutPriority.h"

#include <memory>

namespace platform::ui {

class View;
class LayoutGuide;
class LayoutConstraint;

enum class LayoutAttribute { left, right, top, bottom, leading, trailing, width, height, centerX, centerY };

// One edge, centre or dimension of a view or of one of its layout guides.
// Anchors only describe; a constraint made from them does nothing until it is
// activated.
class LayoutAnchor {
public:
    LayoutAnchor(std::weak_ptr<View> view, LayoutGuide* guide, LayoutAttribute attribute)
        : view_(std::move(view)), guide_(guide), attribute_(attribute) { }

    std::shared_ptr<LayoutConstraint> constraintEqualTo(const LayoutAnchor& other, double constant = 0) const;
    std::shared_ptr<LayoutConstraint> constraintGreaterThanOrEqualTo(const LayoutAnchor& other, double constant = 0) const;
    std::shared_ptr<LayoutConstraint> constraintLessThanOrEqualTo(const LayoutAnchor& other, double constant = 0) const;
    // Dimensions only.
    std::shared_ptr<LayoutConstraint> constraintEqualTo(const LayoutAnchor& other, double multiplier, double constant) const;
    std::shared_ptr<LayoutConstraint> constraintEqualToConstant(double constant) const;
    std::shared_ptr<LayoutConstraint> constraintGreaterThanOrEqualToConstant(double constant) const;
    std::shared_ptr<LayoutConstraint> constraintLessThanOrEqualToConstant(double constant) const;

    const std::weak_ptr<View>& view() const { return view_; }
    LayoutGuide* guide() const { return guide_; }
    LayoutAttribute attribute() const { return attribute_; }

private:
    std::weak_ptr<View> view_;
    LayoutGuide* guide_;
    LayoutAttribute attribute_;
};

}
