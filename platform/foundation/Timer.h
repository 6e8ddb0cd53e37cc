#pragma once

#include "platform/foundation/Scheduler.h"

#include <atomic>
#include <functional>
#include <memory>

namespace platform {

// A timer on a run loop. The run loop keeps a valid timer alive; invalidate()
// stops it for good. A repeating timer keeps its rhythm: a late tick does not
// shift the ticks after it, and ticks missed entirely are skipped.
class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Action = std::function<void(Timer&)>;

    // Schedules on the calling thread's run loop; the first tick comes after `interval`.
    static std::shared_ptr<Timer> scheduledTimer(Duration interval, bool repeats, Action action);

    void invalidate() { valid_.store(false); }
    bool isValid() const { return valid_.load(); }
    Duration interval() const { return interval_; }

private:
    Timer(Duration interval, bool repeats, Action action);
    void scheduleTick(MonotonicTime fireAt);
    void fire(MonotonicTime scheduledFor);

    const Duration interval_;
    const bool repeats_;
    Action action_;
    std::atomic<bool> valid_ { true };
    std::shared_ptr<QueueIdentity> runLoop_;
};

} // namespace platform
