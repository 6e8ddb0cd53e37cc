#include "platform/net/curl/LoopWakeup.h"

namespace platform {

namespace {

void relaxCpu()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

} // namespace

LoopWakeup::LoopWakeup(std::function<void()> wakeSleepingLoop)
    : wakeSleepingLoop_(std::move(wakeSleepingLoop))
{
}

// notify() and spinFor() form a store-then-load pair on each side, all
// sequentially consistent: either the loop sees the new count before it
// sleeps, or the poster sees that the loop stopped spinning and wakes it.
void LoopWakeup::notify()
{
    notifications_.fetch_add(1);
    if (!spinning_.load())
        wakeSleepingLoop_();
}

std::uint64_t LoopWakeup::epoch() const
{
    return notifications_.load();
}

bool LoopWakeup::spinFor(std::uint64_t epoch, std::chrono::nanoseconds budget)
{
    spinning_.store(true);
    // The budget is CPU time, so it runs on the steady clock: a test clock
    // standing still must not keep a thread spinning.
    const auto until = std::chrono::steady_clock::now() + budget;
    while (notifications_.load(std::memory_order_relaxed) == epoch && std::chrono::steady_clock::now() < until)
        relaxCpu();
    spinning_.store(false);
    return notifications_.load() != epoch;
}

} // namespace platform
