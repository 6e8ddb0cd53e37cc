#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {
class Timer;
}

namespace platform::ui {
class AlertController;
class ViewController;
}

namespace tolven {

// The repeating timer of one countdown, shared by its buttons and its ticks.
struct CountdownTimerHolder {
    std::shared_ptr<platform::Timer> timer;
    void stop();
};

// Asks a yes-or-no question whose message counts down from ten seconds once
// the alert is on screen; when the time runs out the alert closes itself and
// the answer is `onCancel`. Exactly one answer comes, or none when something
// else dismissed the alert first. Main thread only.
void presentCountdownConfirm(platform::ui::ViewController& presenter, const std::string& message,
    std::function<void()> onConfirm, std::function<void()> onCancel);

// Starts the one-second ticks of a countdown that shows `remaining` seconds.
void startCountdownTimer(const std::shared_ptr<CountdownTimerHolder>& holder, const std::weak_ptr<platform::ui::AlertController>& alert,
    std::shared_ptr<std::int64_t> remaining, std::function<void()> onCancel, std::string message);

// The message with its countdown line: two line feeds, then "자동 취소까지 N초".
std::string countdownMessage(const std::string& message, std::int64_t remaining);

} // namespace tolven
