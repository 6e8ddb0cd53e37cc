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

// notify() and beginSleep() form a store-then-load pair on each side, all
// sequentially consistent: either the loop sees the new count before it
// sleeps, or the poster sees that the loop sleeps and wakes it.
void LoopWakeup::notify()
{
    notifications_.fetch_add(1);
    if (sleeping_.load())
        wakeSleepingLoop_();
}

std::uint64_t LoopWakeup::epoch() const
{
    return notifications_.load();
}

bool LoopWakeup::spinFor(std::uint64_t epoch, std::chrono::nanoseconds budget)
{
    // The budget is CPU time, so it runs on the steady clock: a test clock
    // standing still must not keep a thread spinning.
    const auto until = std::chrono::steady_clock::now() + budget;
    while (notifications_.load(std::memory_order_relaxed) == epoch && std::chrono::steady_clock::now() < until)
        relaxCpu();
    return notifications_.load() != epoch;
}

bool LoopWakeup::beginSleep(std::uint64_t epoch)
{
    sleeping_.store(true);
    if (notifications_.load() == epoch)
        return true;
    sleeping_.store(false);
    return false;
}

void LoopWakeup::endSleep()
{
    sleeping_.store(false);
}

} // namespace platform
