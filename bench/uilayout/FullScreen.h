#pragma once

// A full screen shared by the layout and drawing benchmarks: a title row, a
// paging scroll view with two card faces of labels, and a table of 12 rows,
// each a stack of a check box and four equal columns.

#include "platform/ui/controls/TableView.h"
#include "platform/ui/Window.h"
#include "platform/ui/controls/TableViewCell.h"

#include <memory>

namespace platform::ui {

class Rows final : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfRows(TableView&, int) override { return 12; }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, IndexPath path) override
    {
        return configuredRow(table, path);
    }

private:
    static std::shared_ptr<TableViewCell> configuredRow(TableView& table, IndexPath path);
};

// Builds the screen in `root`, whose table takes its rows from `rows`.
void buildFullScreen(View& root, const std::shared_ptr<Rows>& rows);

// A key window whose root screen holds the full screen, not yet laid out.
struct FullScreenWindow {
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    std::shared_ptr<Window> window;
    View& root() const;

    FullScreenWindow();
};

}
