#pragma once

#include "platform/foundation/Scheduler.h"

#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace platform {

class DelayedTaskQueue;

// The backing of a serial queue whose blocks another thread's loop runs from
// `tasks` (see QueueHost); `wake` is called after each post.
std::shared_ptr<void> makeHostedQueueBacking(std::shared_ptr<DelayedTaskQueue> tasks, std::function<void()> wake);
// Runs the due blocks of such queues on the calling thread, which holds them
// meanwhile; returns when the next block is due, if one waits.
std::optional<MonotonicTime> runDueHostedTasks(DelayedTaskQueue& tasks);

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
