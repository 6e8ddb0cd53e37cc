#include "platform/ui/controls/TableViewCell.h"

namespace platform::ui {

namespace {
std::shared_ptr<View> fillingView()
{
    auto view = std::make_shared<View>();
    view->setAutoresizingMask(View::flexibleWidth | View::flexibleHeight);
    return view;
}
}

TableViewCell::TableViewCell(std::string reuseIdentifier)
    : reuseIdentifier_(std::move(reuseIdentifier))
    , contentView_(fillingView())
{
    setBackgroundColor(Color::white());
    addSubview(contentView_);
}

void TableViewCell::setSelected(bool selected, bool)
{
    selected_ = selected;
}

TableViewHeaderFooterView::TableViewHeaderFooterView(std::string reuseIdentifier)
    : reuseIdentifier_(std::move(reuseIdentifier))
    , contentView_(fillingView())
{
    addSubview(contentView_);
}

void TableViewHeaderFooterView::setBackgroundView(std::shared_ptr<View> view)
{
    if (backgroundView_)
        backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(view);
    if (backgroundView_) {
        backgroundView_->setFrame(bounds());
        backgroundView_->setAutoresizingMask(flexibleWidth | flexibleHeight);
        insertSubview(backgroundView_, 0);
    }
}

}
