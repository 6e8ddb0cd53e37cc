#pragma once

#include "platform/foundation/Clock.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

using Task = std::function<void()>;

enum class QueueKind { main, serial, concurrent, threadRunLoop };

// What a DispatchQueue or RunLoop is, independent of who runs it. A scheduler
// may attach its own state (worker threads) through `backing`.
struct QueueIdentity {
    std::string label;
    QueueKind kind;
    std::shared_ptr<void> backing;
};

// Runs the tasks of every queue and timer. The system scheduler uses threads and
// the system clock; TestEnvironment runs everything on the test thread in
// virtual time. Exactly one scheduler is installed at a time.
class Scheduler {
public:
    virtual ~Scheduler() = default;

    virtual Clock& clock() = 0;

    // Queues `task` to run on `queue` once `delay` has passed on the clock.
    // Tasks with the same deadline run in the order they were posted.
    virtual void post(const std::shared_ptr<QueueIdentity>& queue, Duration delay, Task task) = 0;

    // Runs `task` with the exclusivity of `queue` and returns when it has run.
    // Throws std::logic_error, without running `task`, when the calling thread
    // holds `queue` already and so would wait for itself.
    virtual void runSync(const std::shared_ptr<QueueIdentity>& queue, Task task) = 0;

    virtual bool isMainThread() const = 0;

    // Drains a run loop's queue (main or thread run loop) on the calling thread
    // until stopLoop() or, when given, until the deadline on the clock.
    virtual void runLoop(const std::shared_ptr<QueueIdentity>& loop, const MonotonicTime* until) = 0;
    virtual void stopLoop(const std::shared_ptr<QueueIdentity>& loop) = 0;
};

// The installed scheduler; the system scheduler unless a test installed one.
Scheduler& scheduler();

// Installs `replacement` (nullptr restores the system scheduler) and returns
// the one it replaced.
Scheduler* installScheduler(Scheduler* replacement);

} // namespace platform
