#include "platform/ui/layout/LayoutConstraint.h"

#include "platform/foundation/Console.h"
#include "platform/ui/View.h"

namespace platform::ui {

LayoutConstraint::LayoutConstraint(LayoutAnchor first, LayoutRelation relation, std::optional<LayoutAnchor> second,
                                   double multiplier, double constant)
    : first_(std::move(first))
    , relation_(relation)
    , second_(std::move(second))
    , multiplier_(multiplier)
    , constant_(constant)
{
}

void LayoutConstraint::activate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints)
{
    for (const auto& constraint : constraints) {
        if (constraint)
            constraint->setActive(true);
    }
}

void LayoutConstraint::deactivate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints)
{
    for (const auto& constraint : constraints) {
        if (constraint)
            constraint->setActive(false);
    }
}

void LayoutConstraint::setActive(bool active)
{
    if (active == active_)
        return;
    auto holder = first_.view().lock();
    if (!holder)
        return;
    active_ = active;
    if (active)
        holder->holdConstraint(shared_from_this());
    markLayoutDirty();
    if (!active)
        holder->releaseConstraint(*this);
}

void LayoutConstraint::setConstant(double constant)
{
    constant_ = constant;
    if (active_)
        markLayoutDirty();
}

void LayoutConstraint::setPriority(LayoutPriority priority)
{
    bool wasRequired = priority_ >= layoutPriorityRequired;
    bool isRequired = priority >= layoutPriorityRequired;
    if (active_ && wasRequired != isRequired) {
        platform::console("Mutating a priority from required to not on an installed constraint (or vice-versa) is not supported: "
                          + description());
        return;
    }
    priority_ = priority;
    if (active_)
        markLayoutDirty();
}

void LayoutConstraint::markLayoutDirty() const
{
    for (const auto* anchor : {&first_, second_ ? &*second_ : nullptr}) {
        if (!anchor)
            continue;
        if (auto view = anchor->view().lock()) {
            view->setNeedsLayout();
            if (View* parent = view->superview())
                parent->setNeedsLayout();
        }
    }
}

namespace {

const char* attributeName(LayoutAttribute attribute)
{
    switch (attribute) {
    case LayoutAttribute::left: return "left";
    case LayoutAttribute::right: return "right";
    case LayoutAttribute::top: return "top";
    case LayoutAttribute::bottom: return "bottom";
    case LayoutAttribute::leading: return "leading";
    case LayoutAttribute::trailing: return "trailing";
    case LayoutAttribute::width: return "width";
    case LayoutAttribute::height: return "height";
    case LayoutAttribute::centerX: return "centerX";
    case LayoutAttribute::centerY: return "centerY";
    }
    return "?";
}

const char* guideName(const LayoutGuide* guide)
{
    if (!guide)
        return "";
    switch (guide->kind()) {
    case LayoutGuide::Kind::safeArea: return ".safeArea";
    case LayoutGuide::Kind::layoutMargins: return ".margins";
    case LayoutGuide::Kind::scrollContent: return ".content";
    case LayoutGuide::Kind::scrollFrame: return ".frame";
    }
    return "";
}

std::string anchorText(const LayoutAnchor& anchor)
{
    auto view = anchor.view().lock();
    std::string name = view ? view->className() : "(gone)";
    if (view && !view->accessibilityIdentifier().empty())
        name += "#" + view->accessibilityIdentifier();
    return name + guideName(anchor.guide()) + "." + attributeName(anchor.attribute());
}

}

std::string LayoutConstraint::description() const
{
    const char* relation = relation_ == LayoutRelation::equal ? " == " : relation_ == LayoutRelation::lessThanOrEqual ? " <= " : " >= ";
    std::string text = anchorText(first_) + relation;
    if (second_) {
        if (multiplier_ != 1)
            text += std::to_string(multiplier_) + "*";
        text += anchorText(*second_);
        if (constant_ != 0)
            text += (constant_ > 0 ? " + " : " - ") + std::to_string(std::abs(constant_));
    } else {
        text += std::to_string(constant_);
    }
    if (priority_ < layoutPriorityRequired)
        text += " @" + std::to_string(static_cast<int>(priority_));
    return text;
}

}
