#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

// Wakes an event loop when work is queued for it, and only when it sleeps: a
// loop that is awake looks for work again before it sleeps, so its posters
// make no system call. A loop with nothing to do spins briefly before it
// sleeps, so work queued meanwhile is picked up at once. The transport's loop
// spins after it delivers an answer, when the caller's next request is likely
// to follow.
class LoopWakeup {
public:
    // `wakeSleepingLoop` interrupts the loop's sleep (curl_multi_wakeup); a
    // call just after the loop woke only shortens its next sleep.
    explicit LoopWakeup(std::function<void()> wakeSleepingLoop);

    // Any thread, after queuing work for the loop.
    void notify();

    // The loop thread, before each look for work: notifications after this
    // point are what spinFor() waits for and what beginSleep() checks.
    std::uint64_t epoch() const;

    // The loop thread, having found no work since `epoch`: returns true as
    // soon as work is notified, or false after `budget`.
    bool spinFor(std::uint64_t epoch, std::chrono::nanoseconds budget);

    // The loop thread, about to sleep: false when work was notified since
    // `epoch` (look again instead of sleeping); true when it may sleep, and
    // every notification until endSleep() wakes it.
    bool beginSleep(std::uint64_t epoch);
    void endSleep();

private:
    const std::function<void()> wakeSleepingLoop_;
    std::atomic<std::uint64_t> notifications_ { 0 };
    std::atomic<bool> sleeping_ { false };
};

} // namespace platform
