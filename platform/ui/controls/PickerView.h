#pragma once

#include "platform/ui/View.h"

#include <map>

namespace platform::ui {

class PickerView;

class PickerViewDataSource {
public:
    virtual ~PickerViewDataSource() = default;
    virtual int numberOfComponents(PickerView&) = 0;
    virtual int numberOfRows(PickerView&, int component) = 0;
};

class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate() = default;
    // The view for a row; `reusing` is a view this picker showed before, if any.
    virtual std::shared_ptr<View> viewForRow(PickerView&, int row, int component, std::shared_ptr<View> reusing) = 0;
    virtual void didSelectRow(PickerView&, int, int) { }
};

// Spinning wheels of rows. It asks its data source whenever it lays out; the
// selected row of each wheel sits in the middle, with two rows above and below.
class PickerView : public View {
public:
    static constexpr double rowHeight = 32;

    PickerView();
    std::string className() const override { return "PickerView"; }

    void setDataSource(std::weak_ptr<PickerViewDataSource> source) { dataSource_ = std::move(source); setNeedsLayout(); }
    void setDelegate(std::weak_ptr<PickerViewDelegate> delegate) { delegate_ = std::move(delegate); setNeedsLayout(); }

    int numberOfComponents() const;
    int numberOfRows(int component) const;
    // Moves the wheel without telling the delegate; -1 when nothing is selected.
    void selectRow(int row, int component, bool animated);
    int selectedRow(int component) const;
    // The view on screen for a row, if it is shown.
    std::shared_ptr<View> viewForRow(int row, int component) const;
    void reloadAllComponents() { setNeedsLayout(); }

    // What a user's spin of the wheel to `row` does: select it and tell the delegate.
    void userSelectRow(int row, int component);

    Size intrinsicContentSize() const override { return {noIntrinsicMetric, 216}; }
    void layoutSubviews() override;

private:
    std::weak_ptr<PickerViewDataSource> dataSource_;
    std::weak_ptr<PickerViewDelegate> delegate_;
    std::map<int, int> selected_;
    std::map<std::pair<int, int>, std::shared_ptr<View>> shown_;
};

}
