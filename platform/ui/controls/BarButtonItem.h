#pragma once

#include <functional>
#include <optional>
#include <string>

namespace platform::ui {

enum class BarButtonItemStyle { plain, done };
enum class BarButtonSystemItem { none, flexibleSpace, fixedSpace };

// An item of a toolbar: a titled button, or space between buttons.
class BarButtonItem {
public:
    using Action = std::function<void(BarButtonItem&)>;

    BarButtonItem(std::string title, BarButtonItemStyle style, Action action)
        : title_(std::move(title)), style_(style), action_(std::move(action)) { }
    explicit BarButtonItem(BarButtonSystemItem systemItem, double width = 0) : systemItem_(systemItem), width_(width) { }

    const std::optional<std::string>& title() const { return title_; }
    BarButtonItemStyle style() const { return style_; }
    BarButtonSystemItem systemItem() const { return systemItem_; }
    double width() const { return width_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    void trigger()
    {
        if (enabled_ && action_)
            action_(*this);
    }

private:
    std::optional<std::string> title_;
    BarButtonItemStyle style_ = BarButtonItemStyle::plain;
    BarButtonSystemItem systemItem_ = BarButtonSystemItem::none;
    double width_ = 0;
    Action action_;
    bool enabled_ = true;
};

}
