#pragma once

#include "platform/foundation/Clock.h"

#include <mutex>

namespace platform {

// A clock that moves only when told to. Both readings advance together, so a
// test that fast-forwards by a minute sees a minute pass on the calendar too.
class ManualClock final : public Clock {
public:
    explicit ManualClock(WallClockTime start);

    WallClockTime now() const override;
    MonotonicTime monotonicNow() const override;

    void advance(Duration by);
    // Moves the calendar only, as when the user changes the device's date.
    void setNow(WallClockTime wall);

private:
    mutable std::mutex mutex_;
    WallClockTime wall_;
    MonotonicTime monotonic_;
};

} // namespace platform
