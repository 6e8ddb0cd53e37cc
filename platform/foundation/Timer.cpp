#include "platform/foundation/Timer.h"

#include "platform/foundation/RunLoop.h"

namespace platform {

std::shared_ptr<Timer> Timer::scheduledTimer(Duration interval, bool repeats, Action action)
{
    std::shared_ptr<Timer> timer(new Timer(interval, repeats, std::move(action)));
    timer->runLoop_ = RunLoop::current().identity();
    timer->scheduleTick(clock().monotonicNow() + interval);
    return timer;
}

Timer::Timer(Duration interval, bool repeats, Action action)
    : interval_(interval > Duration::zero() ? interval : Duration(std::chrono::microseconds(100)))
    , repeats_(repeats)
    , action_(std::move(action))
{
}

void Timer::scheduleTick(MonotonicTime fireAt)
{
    // The posted task keeps the timer alive until it is invalidated, as a run loop does.
    auto delay = fireAt - clock().monotonicNow();
    scheduler().post(runLoop_, delay, [self = shared_from_this(), fireAt] { self->fire(fireAt); });
}

void Timer::fire(MonotonicTime scheduledFor)
{
    if (!isValid())
        return;
    action_(*this);
    if (!repeats_) {
        invalidate();
        return;
    }
    if (!isValid())
        return;
    auto next = scheduledFor + interval_;
    auto now = clock().monotonicNow();
    if (next <= now)
        next += ((now - next) / interval_ + 1) * interval_;
    scheduleTick(next);
}

} // namespace platform
