#pragma once

#include "platform/ui/layout/LayoutAnchor.h"

#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace platform::ui {

enum class LayoutRelation { lessThanOrEqual, equal, greaterThanOrEqual };

// first (relation) multiplier × second + constant. An active constraint is kept
// by the view of its first anchor; it stops counting once either view is gone.
class LayoutConstraint : public std::enable_shared_from_this<LayoutConstraint> {
public:
    LayoutConstraint(LayoutAnchor first, LayoutRelation relation, std::optional<LayoutAnchor> second, double multiplier,
                     double constant);

    static void activate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints);
    static void deactivate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints);

    bool isActive() const { return active_; }
    void setActive(bool active);

    double constant() const { return constant_; }
    void setConstant(double constant);
    // Changing between required and optional while active is refused, as the
    // platform does; other changes take effect at the next layout pass.
    LayoutPriority priority() const { return priority_; }
    void setPriority(LayoutPriority priority);

    const LayoutAnchor& firstAnchor() const { return first_; }
    const std::optional<LayoutAnchor>& secondAnchor() const { return second_; }
    LayoutRelation relation() const { return relation_; }
    double multiplier() const { return multiplier_; }
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

    // For the layout engine: true the first time only, so a broken constraint is reported once.
    bool takeFirstConflictReport() const { return !std::exchange(conflictReported_, true); }

    // Text for console reports: the views' classes and attributes.
    std::string description() const;

private:
    friend class LayoutEngine;
    void markLayoutDirty() const;
    mutable bool conflictReported_ = false;

    LayoutAnchor first_;
    LayoutRelation relation_;
    std::optional<LayoutAnchor> second_;
    double multiplier_;
    double constant_;
    LayoutPriority priority_ = layoutPriorityRequired;
    bool active_ = false;
    std::string identifier_;
};

using ConstraintList = std::vector<std::shared_ptr<LayoutConstraint>>;

}
