#include "platform/ui/controls/Toolbar.h"

#include "platform/ui/controls/Button.h"

namespace platform::ui {

Toolbar::Toolbar()
{
    setBackgroundColor(Color::systemGray6());
}

void Toolbar::setItems(std::vector<std::shared_ptr<BarButtonItem>> items)
{
    for (auto& button : buttons_)
        button->removeFromSuperview();
    buttons_.clear();
    items_ = std::move(items);
    for (auto& item : items_) {
        std::shared_ptr<Button> button;
        if (item && item->systemItem() == BarButtonSystemItem::none) {
            button = std::make_shared<Button>();
            button->setTitle(item->title());
            button->titleLabel().setFont(Font::systemFont(17, item->style() == BarButtonItemStyle::done ? FontWeight::semibold : FontWeight::regular));
            std::weak_ptr<BarButtonItem> weakItem = item;
            button->addTarget(ControlEvent::primaryActionTriggered, [weakItem](Control&) {
                if (auto i = weakItem.lock())
                    i->trigger();
            });
            addSubview(button);
        }
        buttons_.push_back(button);
    }
    setNeedsLayout();
}

void Toolbar::layoutSubviews()
{
    constexpr double margin = 16;
    double fixed = 0;
    int flexible = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (buttons_[i])
            fixed += buttons_[i]->intrinsicContentSize().width;
        else if (items_[i] && items_[i]->systemItem() == BarButtonSystemItem::flexibleSpace)
            ++flexible;
        else if (items_[i])
            fixed += items_[i]->width();
    }
    double spare = std::max(0.0, bounds().width() - 2 * margin - fixed);
    double x = margin;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (buttons_[i]) {
            double width = buttons_[i]->intrinsicContentSize().width;
            buttons_[i]->setFrame({x, 0, width, bounds().height()});
            x += width;
        } else if (items_[i] && items_[i]->systemItem() == BarButtonSystemItem::flexibleSpace) {
            x += spare / flexible;
        } else if (items_[i]) {
            x += items_[i]->width();
        }
    }
}

}
