#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform::ui {

enum class AlertActionStyle { defaultStyle = 0, cancel = 1, destructive = 2 };

// A button of an alert. Its handler runs after the alert has been dismissed.
class AlertAction {
public:
    using Handler = std::function<void(AlertAction&)>;

    AlertAction(std::string title, AlertActionStyle style, Handler handler = {})
        : title_(std::move(title)), style_(style), handler_(std::move(handler)) { }

    const std::string& title() const { return title_; }
    AlertActionStyle style() const { return style_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    const Handler& handler() const { return handler_; }

private:
    std::string title_;
    AlertActionStyle style_;
    Handler handler_;
    bool enabled_ = true;
};

}
