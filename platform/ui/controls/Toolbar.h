#pragma once

#include "platform/ui/View.h"
#include "platform/ui/controls/BarButtonItem.h"

namespace platform::ui {

class Button;

// A bar of items laid out left to right; flexible spaces share what is left.
class Toolbar : public View {
public:
    static constexpr double barHeight = 44;

    Toolbar();
    std::string className() const override { return "Toolbar"; }

    const std::vector<std::shared_ptr<BarButtonItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<BarButtonItem>> items);

    Size sizeThatFits(Size size) const override { return {size.width > 0 ? size.width : 390, barHeight}; }
    void layoutSubviews() override;

private:
    std::vector<std::shared_ptr<BarButtonItem>> items_;
    std::vector<std::shared_ptr<Button>> buttons_;
};

}
