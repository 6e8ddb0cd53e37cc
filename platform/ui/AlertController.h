#pragma once

#include "platform/ui/AlertAction.h"
#include "platform/ui/ViewController.h"

#include <optional>

namespace platform::ui {

class Label;

enum class AlertControllerStyle { actionSheet = 0, alert = 1 };

// A centred alert or a sheet of choices from the bottom, presented over the
// screen beneath. A tap on an action dismisses the alert, animated, and then
// runs the action's handler; later taps on it do nothing.
class AlertController : public ViewController {
public:
    AlertController(std::optional<std::string> title, std::optional<std::string> message, AlertControllerStyle style);
    std::string className() const override { return "AlertController"; }

    const std::optional<std::string>& title() const { return title_; }
    const std::optional<std::string>& message() const { return message_; }
    // Takes effect on screen at once when the alert is showing.
    void setMessage(std::optional<std::string> message);
    AlertControllerStyle preferredStyle() const { return style_; }

    void addAction(std::shared_ptr<AlertAction> action);
    const std::vector<std::shared_ptr<AlertAction>>& actions() const { return actions_; }

    // What a tap on the action's button does.
    void performAction(const AlertAction& action);

    void loadView() override;

private:
    void layoutBox(View& root);

    std::optional<std::string> title_;
    std::optional<std::string> message_;
    AlertControllerStyle style_;
    std::vector<std::shared_ptr<AlertAction>> actions_;
    std::weak_ptr<Label> messageLabel_;
    bool chosen_ = false;
};

}
