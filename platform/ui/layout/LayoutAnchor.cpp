#include "platform/ui/layout/LayoutAnchor.h"

#include "platform/ui/layout/LayoutConstraint.h"

namespace platform::ui {

namespace {
std::shared_ptr<LayoutConstraint> make(const LayoutAnchor& first, LayoutRelation relation, std::optional<LayoutAnchor> second,
                                       double multiplier, double constant)
{
    return std::make_shared<LayoutConstraint>(first, relation, std::move(second), multiplier, constant);
}
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintEqualTo(const LayoutAnchor& other, double constant) const
{
    return make(*this, LayoutRelation::equal, other, 1, constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintGreaterThanOrEqualTo(const LayoutAnchor& other, double constant) const
{
    return make(*this, LayoutRelation::greaterThanOrEqual, other, 1, constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintLessThanOrEqualTo(const LayoutAnchor& other, double constant) const
{
    return make(*this, LayoutRelation::lessThanOrEqual, other, 1, constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintEqualTo(const LayoutAnchor& other, double multiplier, double constant) const
{
    return make(*this, LayoutRelation::equal, other, multiplier, constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintEqualToConstant(double constant) const
{
    return make(*this, LayoutRelation::equal, std::nullopt, 0, constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintGreaterThanOrEqualToConstant(double constant) const
{
    return make(*this, LayoutRelation::greaterThanOrEqual, std::nullopt, 0, constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintLessThanOrEqualToConstant(double constant) const
{
    return make(*this, LayoutRelation::lessThanOrEqual, std::nullopt, 0, constant);
}

}
