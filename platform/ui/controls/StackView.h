#pragma once

#include "platform/ui/View.h"

#include <map>

namespace platform::ui {

enum class StackAlignment { fill, leading, center, trailing };
enum class StackDistribution { fill, fillEqually };

// Lines up its visible arranged subviews along an axis with constraints that it
// keeps up to date itself; hidden ones leave the line.
class StackView : public View {
public:
    StackView();
    explicit StackView(std::vector<std::shared_ptr<View>> arranged);
    std::string className() const override { return "StackView"; }

    const std::vector<std::shared_ptr<View>>& arrangedSubviews() const { return arranged_; }
    void addArrangedSubview(const std::shared_ptr<View>& view);
    void removeArrangedSubview(const View& view);

    LayoutAxis axis() const { return axis_; }
    void setAxis(LayoutAxis axis) { axis_ = axis; changed(); }
    StackAlignment alignment() const { return alignment_; }
    void setAlignment(StackAlignment alignment) { alignment_ = alignment; changed(); }
    StackDistribution distribution() const { return distribution_; }
    void setDistribution(StackDistribution distribution) { distribution_ = distribution; changed(); }
    double spacing() const { return spacing_; }
    void setSpacing(double spacing) { spacing_ = spacing; changed(); }
    void setCustomSpacing(double spacing, const View& after);
    double customSpacing(const View& after) const;
    bool isLayoutMarginsRelativeArrangement() const { return marginsRelative_; }
    void setLayoutMarginsRelativeArrangement(bool relative) { marginsRelative_ = relative; changed(); }

    void layoutSubviews() override;
    void didMoveToSuperview() override { changed(); }

private:
    void changed();
    void rebuildIfNeeded();
    std::string signature() const;

    std::vector<std::shared_ptr<View>> arranged_;
    LayoutAxis axis_ = LayoutAxis::horizontal;
    StackAlignment alignment_ = StackAlignment::fill;
    StackDistribution distribution_ = StackDistribution::fill;
    double spacing_ = 0;
    std::map<const View*, double> customSpacing_;
    bool marginsRelative_ = false;
    ConstraintList built_;
    std::string builtSignature_;
};

}
