#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

// Wakes an event loop when work is queued for it. A loop with nothing to do
// spins briefly before it sleeps: work queued meanwhile is picked up at once,
// and its poster makes no system call. The transport's loop spins after it
// delivers an answer, when the caller's next request is likely to follow.
class LoopWakeup {
public:
    // `wakeSleepingLoop` interrupts the loop's sleep (curl_multi_wakeup); a
    // call while the loop is awake only shortens its next sleep.
    explicit LoopWakeup(std::function<void()> wakeSleepingLoop);

    // Any thread, after queuing work for the loop.
    void notify();

    // The loop thread, before each look for work: notifications after this
    // point are what spinFor() waits for.
    std::uint64_t epoch() const;

    // The loop thread, having found no work since `epoch`: returns true as
    // soon as work is notified, or false after `budget`, when the loop may
    // sleep (any later notification wakes it).
    bool spinFor(std::uint64_t epoch, std::chrono::nanoseconds budget);

private:
    const std::function<void()> wakeSleepingLoop_;
    std::atomic<std::uint64_t> notifications_ { 0 };
    std::atomic<bool> spinning_ { false };
};

} // namespace platform
