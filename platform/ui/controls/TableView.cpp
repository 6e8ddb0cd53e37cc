#include "platform/ui/controls/TableView.h"

#include "platform/foundation/Console.h"
#include "platform/ui/interface/Nib.h"

namespace platform::ui {

double TableViewDelegate::heightForRow(TableView& table, IndexPath)
{
    return table.rowHeight();
}

double TableViewDelegate::heightForHeader(TableView& table, int)
{
    return table.sectionHeaderHeight();
}

TableView::TableView()
{
    setBackgroundColor(Color::white());
}

void TableView::setTableDelegate(std::weak_ptr<TableViewDelegate> delegate)
{
    tableDelegate_ = delegate;
    setDelegate(delegate);
}

void TableView::registerCellNib(std::shared_ptr<Nib> nib, const std::string& identifier)
{
    cellRegistrations_[identifier] = {std::move(nib), nullptr};
}

void TableView::registerCell(std::function<std::shared_ptr<TableViewCell>()> make, const std::string& identifier)
{
    cellRegistrations_[identifier] = {nullptr, std::move(make)};
}

void TableView::registerHeaderFooterNib(std::shared_ptr<Nib> nib, const std::string& identifier)
{
    headerRegistrations_[identifier] = std::move(nib);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& identifier, IndexPath)
{
    auto& pool = reusableCells_[identifier];
    if (!pool.empty()) {
        auto cell = pool.back();
        pool.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    auto it = cellRegistrations_.find(identifier);
    std::shared_ptr<TableViewCell> cell;
    if (it != cellRegistrations_.end() && it->second.make)
        cell = it->second.make();
    else if (it != cellRegistrations_.end() && it->second.nib) {
        auto objects = it->second.nib->instantiate();
        cell = objects.empty() ? nullptr : std::dynamic_pointer_cast<TableViewCell>(objects.front());
    }
    if (!cell) {
        platform::console("unable to dequeue a cell with identifier " + identifier
                          + " - must register a nib or a class for the identifier");
        return nullptr;
    }
    cell->setReuseIdentifier(identifier);
    return cell;
}

std::shared_ptr<TableViewHeaderFooterView> TableView::dequeueReusableHeaderFooterView(const std::string& identifier)
{
    auto& pool = reusableHeaders_[identifier];
    if (!pool.empty()) {
        auto header = pool.back();
        pool.pop_back();
        header->prepareForReuse();
        return header;
    }
    auto it = headerRegistrations_.find(identifier);
    if (it == headerRegistrations_.end() || !it->second)
        return nullptr;
    auto objects = it->second->instantiate();
    auto header = objects.empty() ? nullptr : std::dynamic_pointer_cast<TableViewHeaderFooterView>(objects.front());
    if (header)
        header->setReuseIdentifier(identifier);
    return header;
}

void TableView::reloadData()
{
    needsReload_ = true;
    setNeedsLayout();
    layoutIfNeeded();
}

void TableView::loadCounts()
{
    rowCounts_.clear();
    auto source = dataSource_.lock();
    if (!source)
        return;
    int sections = std::max(0, source->numberOfSections(*this));
    for (int s = 0; s < sections; ++s)
        rowCounts_.push_back(std::max(0, source->numberOfRows(*this, s)));
}

int TableView::numberOfRows(int section) const
{
    return section >= 0 && section < numberOfSections() ? rowCounts_[static_cast<std::size_t>(section)] : 0;
}

void TableView::recycle(const std::shared_ptr<TableViewCell>& cell)
{
    cell->removeFromSuperview();
    if (!cell->reuseIdentifier().empty())
        reusableCells_[cell->reuseIdentifier()].push_back(cell);
}

double TableView::heightOfRow(IndexPath indexPath, TableViewCell* cell)
{
    auto delegate = tableDelegate_.lock();
    double height = delegate ? delegate->heightForRow(*this, indexPath) : rowHeight_;
    if (height >= 0)
        return height;
    if (!cell) {
        auto known = rowHeights_.find(indexPath);
        return known != rowHeights_.end() ? known->second : estimatedRowHeight_;
    }
    return cell->systemLayoutSizeFitting({bounds().width(), 0}, layoutPriorityRequired, layoutPriorityFittingSizeLevel).height;
}

double TableView::heightOfHeader(int section, View* header)
{
    auto delegate = tableDelegate_.lock();
    double height = delegate ? delegate->heightForHeader(*this, section) : sectionHeaderHeight_;
    if (height >= 0)
        return height;
    if (!header)
        return 0;
    return header->systemLayoutSizeFitting({bounds().width(), 0}, layoutPriorityRequired, layoutPriorityFittingSizeLevel).height;
}

void TableView::layoutSubviews()
{
    if (needsReload_) {
        needsReload_ = false;
        loadCounts();
        for (auto& [path, cell] : visible_)
            recycle(cell);
        visible_.clear();
        for (auto& [section, header] : headers_) {
            header->removeFromSuperview();
            if (auto reusable = std::dynamic_pointer_cast<TableViewHeaderFooterView>(header); reusable && !reusable->reuseIdentifier().empty())
                reusableHeaders_[reusable->reuseIdentifier()].push_back(reusable);
        }
        headers_.clear();
        rowHeights_.clear();
    }
    auto source = dataSource_.lock();
    auto delegate = tableDelegate_.lock();
    double width = bounds().width();
    Rect onScreen = bounds();
    // Cells whose rows have left the screen go back to the pool first, so
    // that the rows coming in can have them.
    for (auto it = visible_.begin(); it != visible_.end();) {
        Rect known = rowRects_.count(it->first) ? rowRects_[it->first] : Rect {};
        if (it->first.section < numberOfSections() && it->first.row < numberOfRows(it->first.section) && known.intersects(onScreen)) {
            ++it;
            continue;
        }
        recycle(it->second);
        it = visible_.erase(it);
    }
    double y = 0;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> nowVisible;
    rowRects_.clear();
    for (int section = 0; section < numberOfSections(); ++section) {
        if (!headers_.count(section) && delegate) {
            if (auto header = delegate->viewForHeader(*this, section))
                headers_[section] = header;
        }
        View* header = headers_.count(section) ? headers_[section].get() : nullptr;
        double headerHeight = heightOfHeader(section, header);
        if (header || headerHeight > 0)
            y += headerTopPadding_;
        if (header) {
            header->setFrame({0, y, width, headerHeight});
            if (header->superview() != this)
                addSubview(headers_[section]);
        }
        y += headerHeight;
        for (int row = 0; row < numberOfRows(section); ++row) {
            IndexPath path {section, row};
            double height = heightOfRow(path, nullptr);
            Rect rect {0, y, width, height};
            if (rect.intersects(onScreen) || (height == 0 && onScreen.contains(rect.origin))) {
                std::shared_ptr<TableViewCell> cell;
                bool configured = false;
                if (auto it = visible_.find(path); it != visible_.end())
                    cell = it->second;
                else if (source) {
                    cell = source->cellForRow(*this, path);
                    configured = true;
                }
                if (cell) {
                    // A row is measured when its cell is configured; a cell
                    // that stays on screen keeps its height.
                    auto known = rowHeights_.find(path);
                    if (configured || known == rowHeights_.end() || cell->frame().width() != width) {
                        cell->setFrame({0, y, width, cell->frame().height()});
                        height = heightOfRow(path, cell.get());
                    } else {
                        height = heightOfRow(path, nullptr);
                    }
                    rowHeights_[path] = height;
                    rect.size.height = height;
                    cell->setFrame(rect);
                    if (cell->superview() != this)
                        insertSubview(cell, 0);
                    cell->setSelected(selected_ == path, false);
                    nowVisible[path] = cell;
                    visible_.erase(path);
                }
            }
            rowRects_[path] = rect;
            y += height;
        }
    }
    for (auto& [path, cell] : visible_)
        recycle(cell);
    visible_ = std::move(nowVisible);
    setContentSize({width, y});
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) const
{
    for (const auto& [path, visible] : visible_) {
        if (visible.get() == &cell)
            return path;
    }
    return std::nullopt;
}

std::shared_ptr<TableViewCell> TableView::cellForRow(IndexPath indexPath) const
{
    auto it = visible_.find(indexPath);
    return it != visible_.end() ? it->second : nullptr;
}

std::shared_ptr<View> TableView::headerView(int section) const
{
    auto it = headers_.find(section);
    return it != headers_.end() ? it->second : nullptr;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() const
{
    std::vector<std::shared_ptr<TableViewCell>> cells;
    for (const auto& [path, cell] : visible_)
        cells.push_back(cell);
    return cells;
}

Rect TableView::rectForRow(IndexPath indexPath) const
{
    auto it = rowRects_.find(indexPath);
    return it != rowRects_.end() ? it->second : Rect {};
}

void TableView::selectRow(std::optional<IndexPath> indexPath, bool)
{
    if (selected_)
        if (auto old = cellForRow(*selected_))
            old->setSelected(false, false);
    selected_ = indexPath;
    if (selected_)
        if (auto cell = cellForRow(*selected_))
            cell->setSelected(true, false);
}

void TableView::deselectRow(IndexPath indexPath, bool animated)
{
    if (selected_ == indexPath)
        selectRow(std::nullopt, animated);
}

bool TableView::handleTap(Point pointInView)
{
    if (View::handleTap(pointInView))
        return true;
    for (const auto& [path, rect] : rowRects_) {
        if (!rect.contains(pointInView))
            continue;
        auto delegate = tableDelegate_.lock();
        if (selected_ && *selected_ != path && delegate)
            delegate->didDeselectRow(*this, *selected_);
        selectRow(path, false);
        if (delegate)
            delegate->didSelectRow(*this, path);
        return true;
    }
    return false;
}

}
