#include "platform/ui/controls/PickerView.h"

#include <algorithm>

namespace platform::ui {

PickerView::PickerView()
{
    setBackgroundColor(Color::white());
}

int PickerView::numberOfComponents() const
{
    auto source = dataSource_.lock();
    return source ? std::max(0, source->numberOfComponents(const_cast<PickerView&>(*this))) : 0;
}

int PickerView::numberOfRows(int component) const
{
    auto source = dataSource_.lock();
    return source ? std::max(0, source->numberOfRows(const_cast<PickerView&>(*this), component)) : 0;
}

void PickerView::selectRow(int row, int component, bool)
{
    if (row < 0 || component < 0 || row >= numberOfRows(component))
        return;
    selected_[component] = row;
    setNeedsLayout();
}

int PickerView::selectedRow(int component) const
{
    if (numberOfRows(component) == 0)
        return -1;
    auto it = selected_.find(component);
    return it != selected_.end() ? std::min(it->second, numberOfRows(component) - 1) : 0;
}

std::shared_ptr<View> PickerView::viewForRow(int row, int component) const
{
    auto it = shown_.find({component, row});
    return it != shown_.end() ? it->second : nullptr;
}

void PickerView::userSelectRow(int row, int component)
{
    if (row < 0 || component < 0 || component >= numberOfComponents() || row >= numberOfRows(component))
        return;
    selectRow(row, component, true);
    layoutIfNeeded();
    if (auto delegate = delegate_.lock())
        delegate->didSelectRow(*this, row, component);
}

void PickerView::layoutSubviews()
{
    auto delegate = delegate_.lock();
    std::vector<std::shared_ptr<View>> spare;
    for (auto& [key, view] : shown_) {
        view->removeFromSuperview();
        spare.push_back(view);
    }
    shown_.clear();
    int components = numberOfComponents();
    if (!delegate || components == 0)
        return;
    double width = bounds().width() / components;
    for (int component = 0; component < components; ++component) {
        int selected = selectedRow(component);
        for (int row = std::max(0, selected - 2); row < std::min(numberOfRows(component), selected + 3); ++row) {
            std::shared_ptr<View> reusing;
            if (!spare.empty()) {
                reusing = spare.back();
                spare.pop_back();
            }
            auto view = delegate->viewForRow(*this, row, component, reusing);
            if (!view)
                continue;
            double y = bounds().height() / 2 - rowHeight / 2 + (row - selected) * rowHeight;
            view->setFrame({component * width, y, width, rowHeight});
            addSubview(view);
            shown_[{component, row}] = view;
        }
    }
}

}
