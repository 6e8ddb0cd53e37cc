#pragma once

#include "platform/foundation/Scheduler.h"

#include <memory>
#include <mutex>
#include <string>

namespace platform {

// A queue of blocks, shaped like the platform's dispatch queues. Serial queues
// run one block at a time in submission order; concurrent queues may run
// several at once. The main queue is drained by the main run loop. Releasing
// the last copy of a queue drops the blocks that have not started and waits
// for running ones, except the caller's own: a block may release the queue it
// runs on and still finish.
class DispatchQueue {
public:
    enum class Attributes { serial, concurrent };

    static DispatchQueue& main();

    explicit DispatchQueue(std::string label, Attributes attributes = Attributes::serial);

    const std::string& label() const { return identity_->label; }

    void async(Task block) const;

    // Runs `block` once `delay` has passed on the platform clock. Blocks with
    // the same deadline run in submission order.
    void asyncAfter(Duration delay, Task block) const;

    // Runs `block` on this queue and returns when it has finished. Called where
    // it could only wait for itself (from a block running on this serial
    // queue, from inside a sync on it, or on the main queue from the main
    // thread) it throws std::logic_error without running `block`. A concurrent
    // queue runs a sync block at once, from anywhere.
    void sync(Task block) const;

private:
    explicit DispatchQueue(std::shared_ptr<QueueIdentity> identity);
    friend class RunLoop;
    friend class QueueHost;

    std::shared_ptr<QueueIdentity> identity_;
};

// Runs a block once per guard, also when several threads arrive together.
class Once {
public:
    template<typename F>
    void run(F&& block) { std::call_once(flag_, std::forward<F>(block)); }

private:
    std::once_flag flag_;
};

} // namespace platform
