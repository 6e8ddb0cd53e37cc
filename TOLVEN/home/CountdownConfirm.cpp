#include "TOLVEN/home/CountdownConfirm.h"

#include "platform/foundation/Timer.h"
#include "platform/ui/AlertController.h"

namespace tolven {

using namespace platform::ui;

namespace {

void countdownTick(CountdownTimerHolder& holder, const std::weak_ptr<AlertController>& weakAlert, std::int64_t& remaining,
    const std::function<void()>& onCancel, const std::string& message)
{
    remaining -= 1;
    auto alert = weakAlert.lock();
    if (remaining <= 0) {
        holder.stop();
        if (alert)
            alert->dismiss(true, onCancel);
        return;
    }
    if (alert)
        alert->setMessage(countdownMessage(message, remaining));
}

} // namespace

void CountdownTimerHolder::stop()
{
    if (timer)
        timer->invalidate();
    timer.reset();
}

std::string countdownMessage(const std::string& message, std::int64_t remaining)
{
    return message + "\n\n자동 취소까지 " + std::to_string(remaining) + "초";
}

void presentCountdownConfirm(ViewController& presenter, const std::string& message, std::function<void()> onConfirm,
    std::function<void()> onCancel)
{
    auto remaining = std::make_shared<std::int64_t>(10);
    auto alert = std::make_shared<AlertController>("로그인 안내", countdownMessage(message, *remaining), AlertControllerStyle::alert);
    auto holder = std::make_shared<CountdownTimerHolder>();
    alert->addAction(std::make_shared<AlertAction>("등록", AlertActionStyle::defaultStyle, [holder, onConfirm](AlertAction&) {
        holder->stop();
        if (onConfirm)
            onConfirm();
    }));
    alert->addAction(std::make_shared<AlertAction>("취소", AlertActionStyle::destructive, [holder, onCancel](AlertAction&) {
        holder->stop();
        if (onCancel)
            onCancel();
    }));
    std::weak_ptr<AlertController> weakAlert = alert;
    presenter.present(alert, true, [holder, weakAlert, remaining, onCancel, message] {
        startCountdownTimer(holder, weakAlert, remaining, onCancel, message);
    });
}

void startCountdownTimer(const std::shared_ptr<CountdownTimerHolder>& holder, const std::weak_ptr<AlertController>& alert,
    std::shared_ptr<std::int64_t> remaining, std::function<void()> onCancel, std::string message)
{
    // The tick keeps the holder (and so itself) until the count ends. The run
    // loop has no modes that pause timers while the user touches the
    // screen, so the count never stops for a drag.
    auto timer = platform::Timer::scheduledTimer(std::chrono::seconds(1), true,
        [holder, alert, remaining, onCancel, message](platform::Timer&) { countdownTick(*holder, alert, *remaining, onCancel, message); });
    holder->stop();
    holder->timer = timer;
}

} // namespace tolven
