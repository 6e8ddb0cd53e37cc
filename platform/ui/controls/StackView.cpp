#include "platform/ui/controls/StackView.h"

#include <algorithm>

namespace platform::ui {

StackView::StackView() = default;

StackView::StackView(std::vector<std::shared_ptr<View>> arranged)
{
    for (auto& view : arranged)
        addArrangedSubview(view);
}

void StackView::addArrangedSubview(const std::shared_ptr<View>& view)
{
    if (!view)
        return;
    removeArrangedSubview(*view);
    arranged_.push_back(view);
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    if (view->superview() != this)
        addSubview(view);
    changed();
}

void StackView::removeArrangedSubview(const View& view)
{
    arranged_.erase(std::remove_if(arranged_.begin(), arranged_.end(), [&](const auto& v) { return v.get() == &view; }), arranged_.end());
    changed();
}

void StackView::setCustomSpacing(double spacing, const View& after)
{
    customSpacing_[&after] = spacing;
    changed();
}

double StackView::customSpacing(const View& after) const
{
    auto it = customSpacing_.find(&after);
    return it != customSpacing_.end() ? it->second : spacing_;
}

void StackView::changed()
{
    builtSignature_.clear();
    rebuildIfNeeded();
}

void StackView::layoutSubviews()
{
    rebuildIfNeeded();
}

std::string StackView::signature() const
{
    std::string text;
    for (const auto& view : arranged_)
        text += std::to_string(reinterpret_cast<std::uintptr_t>(view.get())) + (view->isHidden() ? "h," : "v,");
    // The margins are constants of the constraints, so a change rebuilds them.
    auto m = directionalLayoutMargins();
    text += std::to_string(m.top) + "," + std::to_string(m.leading) + "," + std::to_string(m.bottom) + "," + std::to_string(m.trailing);
    return text;
}

void StackView::rebuildIfNeeded()
{
    // Anchors need the stack to be shared; until then there is nothing to build.
    if (weak_from_this().expired())
        return;
    std::string current = signature();
    if (!builtSignature_.empty() && current == builtSignature_)
        return;
    builtSignature_ = current;
    LayoutConstraint::deactivate(built_);
    built_.clear();

    std::vector<View*> visible;
    for (const auto& view : arranged_) {
        if (!view->isHidden() && view->superview() == this)
            visible.push_back(view.get());
    }
    if (visible.empty())
        return;
    bool horizontal = axis_ == LayoutAxis::horizontal;
    auto anchorOf = [&](View& v, bool guide, LayoutAttribute attribute) {
        if (guide && marginsRelative_)
            return LayoutAnchor(v.weak_from_this(), &v.layoutMarginsGuide(), attribute);
        return LayoutAnchor(v.weak_from_this(), nullptr, attribute);
    };
    using A = LayoutAttribute;
    A mainStart = horizontal ? A::leading : A::top, mainEnd = horizontal ? A::trailing : A::bottom;
    A crossStart = horizontal ? A::top : A::leading, crossEnd = horizontal ? A::bottom : A::trailing;
    A crossCenter = horizontal ? A::centerY : A::centerX, mainLength = horizontal ? A::width : A::height;
    A crossLength = horizontal ? A::height : A::width;

    built_.push_back(anchorOf(*visible.front(), false, mainStart).constraintEqualTo(anchorOf(*this, true, mainStart)));
    for (std::size_t i = 1; i < visible.size(); ++i) {
        built_.push_back(anchorOf(*visible[i], false, mainStart)
                             .constraintEqualTo(anchorOf(*visible[i - 1], false, mainEnd), customSpacing(*visible[i - 1])));
        if (distribution_ == StackDistribution::fillEqually)
            built_.push_back(anchorOf(*visible[i], false, mainLength).constraintEqualTo(anchorOf(*visible.front(), false, mainLength)));
    }
    built_.push_back(anchorOf(*visible.back(), false, mainEnd).constraintEqualTo(anchorOf(*this, true, mainEnd)));

    for (View* view : visible) {
        auto start = anchorOf(*view, false, crossStart);
        auto end = anchorOf(*view, false, crossEnd);
        auto stackStart = anchorOf(*this, true, crossStart);
        auto stackEnd = anchorOf(*this, true, crossEnd);
        switch (alignment_) {
        case StackAlignment::fill:
            built_.push_back(start.constraintEqualTo(stackStart));
            built_.push_back(end.constraintEqualTo(stackEnd));
            break;
        case StackAlignment::leading:
            built_.push_back(start.constraintEqualTo(stackStart));
            built_.push_back(end.constraintLessThanOrEqualTo(stackEnd));
            break;
        case StackAlignment::trailing:
            built_.push_back(start.constraintGreaterThanOrEqualTo(stackStart));
            built_.push_back(end.constraintEqualTo(stackEnd));
            break;
        case StackAlignment::center:
            built_.push_back(start.constraintGreaterThanOrEqualTo(stackStart));
            built_.push_back(anchorOf(*view, false, crossCenter).constraintEqualTo(anchorOf(*this, true, crossCenter)));
            break;
        }
    }
    if (alignment_ != StackAlignment::fill) {
        // The stack hugs its largest item across the axis.
        auto hug = anchorOf(*this, false, crossLength).constraintEqualToConstant(0);
        hug->setPriority(layoutPriorityFittingSizeLevel - 1);
        built_.push_back(hug);
    }
    LayoutConstraint::activate(built_);
}

}
