#pragma once

#include "platform/ui/View.h"

namespace platform::ui {

enum class TableViewCellSelectionStyle { none, blue, gray, defaultStyle };

// A row of a table. Content goes into contentView; a cell from an interface
// file gets the file's subviews there.
class TableViewCell : public View {
public:
    explicit TableViewCell(std::string reuseIdentifier = {});
    std::string className() const override { return "TableViewCell"; }

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    void setReuseIdentifier(std::string identifier) { reuseIdentifier_ = std::move(identifier); }
    View& contentView() const { return *contentView_; }
    View& interfaceContentView() override { return *contentView_; }

    TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(TableViewCellSelectionStyle style) { selectionStyle_ = style; }
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected, bool animated);
    EdgeInsets separatorInset() const { return separatorInset_; }
    void setSeparatorInset(const EdgeInsets& inset) { separatorInset_ = inset; }

    // Called before the table hands the cell out again.
    virtual void prepareForReuse() { }

private:
    std::string reuseIdentifier_;
    std::shared_ptr<View> contentView_;
    TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::defaultStyle;
    bool selected_ = false;
    EdgeInsets separatorInset_ {0, 16, 0, 0};
};

// A section's header or footer, reused like cells.
class TableViewHeaderFooterView : public View {
public:
    explicit TableViewHeaderFooterView(std::string reuseIdentifier = {});
    std::string className() const override { return "TableViewHeaderFooterView"; }

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    void setReuseIdentifier(std::string identifier) { reuseIdentifier_ = std::move(identifier); }
    View& contentView() const { return *contentView_; }
    View& interfaceContentView() override { return *contentView_; }
    const std::shared_ptr<View>& backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);

    virtual void prepareForReuse() { }

private:
    std::string reuseIdentifier_;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<View> backgroundView_;
};

}
