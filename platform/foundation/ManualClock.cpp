#include "platform/foundation/ManualClock.h"

namespace platform {

ManualClock::ManualClock(WallClockTime start)
    : wall_(start)
    , monotonic_(MonotonicTime {} + std::chrono::hours(1))
{
}

WallClockTime ManualClock::now() const
{
    std::lock_guard lock(mutex_);
    return wall_;
}

MonotonicTime ManualClock::monotonicNow() const
{
    std::lock_guard lock(mutex_);
    return monotonic_;
}

void ManualClock::advance(Duration by)
{
    std::lock_guard lock(mutex_);
    wall_ += std::chrono::duration_cast<WallClockTime::duration>(by);
    monotonic_ += by;
}

void ManualClock::setNow(WallClockTime wall)
{
    std::lock_guard lock(mutex_);
    wall_ = wall;
}

} // namespace platform
