#pragma once

#include "platform/ui/controls/IndexPath.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/controls/TableViewCell.h"

#include <functional>
#include <map>
#include <optional>

namespace platform::ui {

class Nib;
class TableView;

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSections(TableView&) { return 1; }
    virtual int numberOfRows(TableView&, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRow(TableView&, IndexPath indexPath) = 0;
};

class TableViewDelegate : public ScrollViewDelegate {
public:
    // TableView::automaticDimension lets the cell's constraints decide.
    virtual double heightForRow(TableView&, IndexPath);
    virtual std::shared_ptr<View> viewForHeader(TableView&, int) { return nullptr; }
    virtual double heightForHeader(TableView&, int section);
    virtual void didSelectRow(TableView&, IndexPath) { }
    virtual void didDeselectRow(TableView&, IndexPath) { }
};

enum class TableViewSeparatorStyle { none, singleLine };
enum class SeparatorInsetReference { fromCellEdges, fromAutomaticInsets };

// Rows in sections, laid out from top to bottom. Only the rows on screen have
// cells; a row that scrolls away gives its cell back for reuse, and a reused
// cell is prepared before it is handed out again.
class TableView : public ScrollView {
public:
    static constexpr double automaticDimension = -1;

    TableView();
    std::string className() const override { return "TableView"; }

    void setDataSource(std::weak_ptr<TableViewDataSource> dataSource) { dataSource_ = std::move(dataSource); }
    void setTableDelegate(std::weak_ptr<TableViewDelegate> delegate);

    // Cells and header views by reuse identifier: from an interface file (its
    // first top-level view) or from a factory.
    void registerCellNib(std::shared_ptr<Nib> nib, const std::string& identifier);
    void registerCell(std::function<std::shared_ptr<TableViewCell>()> make, const std::string& identifier);
    void registerHeaderFooterNib(std::shared_ptr<Nib> nib, const std::string& identifier);
    // A reusable cell, or a new one; nothing when the identifier is unknown.
    std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& identifier, IndexPath indexPath);
    std::shared_ptr<TableViewHeaderFooterView> dequeueReusableHeaderFooterView(const std::string& identifier);

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height) { rowHeight_ = height; setNeedsLayout(); }
    double estimatedRowHeight() const { return estimatedRowHeight_; }
    void setEstimatedRowHeight(double height) { estimatedRowHeight_ = height; }
    double sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(double height) { sectionHeaderHeight_ = height; setNeedsLayout(); }
    double estimatedSectionHeaderHeight() const { return estimatedHeaderHeight_; }
    void setEstimatedSectionHeaderHeight(double height) { estimatedHeaderHeight_ = height; }
    double sectionHeaderTopPadding() const { return headerTopPadding_; }
    void setSectionHeaderTopPadding(double padding) { headerTopPadding_ = padding; setNeedsLayout(); }
    TableViewSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(TableViewSeparatorStyle style) { separatorStyle_ = style; }
    std::optional<Color> separatorColor() const { return separatorColor_; }
    void setSeparatorColor(std::optional<Color> color) { separatorColor_ = color; }
    EdgeInsets separatorInset() const { return separatorInset_; }
    void setSeparatorInset(const EdgeInsets& inset) { separatorInset_ = inset; }
    SeparatorInsetReference separatorInsetReference() const { return separatorReference_; }
    void setSeparatorInsetReference(SeparatorInsetReference reference) { separatorReference_ = reference; }

    // Forgets the cells on screen and asks the data source again at the next layout.
    void reloadData();
    int numberOfSections() const { return static_cast<int>(rowCounts_.size()); }
    int numberOfRows(int section) const;
    std::optional<IndexPath> indexPathForCell(const TableViewCell& cell) const;
    std::shared_ptr<TableViewCell> cellForRow(IndexPath indexPath) const;
    std::shared_ptr<View> headerView(int section) const;
    std::vector<std::shared_ptr<TableViewCell>> visibleCells() const;
    Rect rectForRow(IndexPath indexPath) const;

    void selectRow(std::optional<IndexPath> indexPath, bool animated);
    void deselectRow(IndexPath indexPath, bool animated);
    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }

    void layoutSubviews() override;
    bool handleTap(Point pointInView) override;

private:
    struct Registration {
        std::shared_ptr<Nib> nib;
        std::function<std::shared_ptr<TableViewCell>()> make;
    };
    void loadCounts();
    double heightOfRow(IndexPath indexPath, TableViewCell* cell);
    double heightOfHeader(int section, View* header);
    void recycle(const std::shared_ptr<TableViewCell>& cell);

    std::weak_ptr<TableViewDataSource> dataSource_;
    std::weak_ptr<TableViewDelegate> tableDelegate_;
    std::map<std::string, Registration> cellRegistrations_;
    std::map<std::string, std::shared_ptr<Nib>> headerRegistrations_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> reusableCells_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewHeaderFooterView>>> reusableHeaders_;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> visible_;
    std::map<int, std::shared_ptr<View>> headers_;
    std::map<IndexPath, double> rowHeights_;
    std::map<IndexPath, Rect> rowRects_;
    std::vector<int> rowCounts_;
    bool needsReload_ = true;
    std::optional<IndexPath> selected_;
    double rowHeight_ = automaticDimension;
    double estimatedRowHeight_ = 44;
    double sectionHeaderHeight_ = automaticDimension;
    double estimatedHeaderHeight_ = 0;
    double headerTopPadding_ = 0;
    TableViewSeparatorStyle separatorStyle_ = TableViewSeparatorStyle::singleLine;
    std::optional<Color> separatorColor_;
    EdgeInsets separatorInset_ {0, 16, 0, 0};
    SeparatorInsetReference separatorReference_ = SeparatorInsetReference::fromCellEdges;
};

}
