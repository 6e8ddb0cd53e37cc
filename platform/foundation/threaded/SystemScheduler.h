#pragma once

#include "platform/foundation/Scheduler.h"

#include <thread>

namespace platform {

// The production scheduler: the main queue and thread run loops are drained by
// RunLoop::run() on their own thread; serial queues run on one worker thread
// each and concurrent queues on a small pool, started on first use.
class SystemScheduler final : public Scheduler {
public:
    SystemScheduler();

    Clock& clock() override { return clock_; }
    void post(const std::shared_ptr<QueueIdentity>& queue, Duration delay, Task task) override;
    void runSync(const std::shared_ptr<QueueIdentity>& queue, Task task) override;
    bool isMainThread() const override;
    void runLoop(const std::shared_ptr<QueueIdentity>& loop, const MonotonicTime* until) override;
    void stopLoop(const std::shared_ptr<QueueIdentity>& loop) override;

private:
    SystemClock clock_;
};

} // namespace platform
