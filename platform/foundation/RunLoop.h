#pragma once

#include "platform/foundation/Scheduler.h"

#include <memory>

namespace platform {

// A thread's run loop. The main run loop drains the main queue and fires the
// timers scheduled on the main thread; other threads' run loops fire their
// timers only while that thread runs its loop.
class RunLoop {
public:
    static RunLoop& main();
    // The run loop of the calling thread (the main one on the main thread).
    static RunLoop& current();

    // Runs tasks and timers until stop() is called.
    void run();
    // Runs tasks and timers until `duration` has passed on the clock or stop() is called.
    void runFor(Duration duration);
    void stop();

    const std::shared_ptr<QueueIdentity>& identity() const { return identity_; }

private:
    explicit RunLoop(std::shared_ptr<QueueIdentity> identity);
    friend class DispatchQueue;

    std::shared_ptr<QueueIdentity> identity_;
};

} // namespace platform
