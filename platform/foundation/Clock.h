#pragma once

#include <chrono>

namespace platform {

using Duration = std::chrono::nanoseconds;
using WallClockTime = std::chrono::system_clock::time_point;
using MonotonicTime = std::chrono::steady_clock::time_point;

// The source of every "now" and every delay in the system. Production runs on
// SystemClock; a TestEnvironment installs a ManualClock so that tests step time.
class Clock {
public:
    virtual ~Clock() = default;

    // Calendar time, for timestamps and token lifetimes.
    virtual WallClockTime now() const = 0;

    // Never goes backwards; deadlines of queues and timers are measured on it.
    virtual MonotonicTime monotonicNow() const = 0;
};

class SystemClock final : public Clock {
public:
    WallClockTime now() const override { return std::chrono::system_clock::now(); }
    MonotonicTime monotonicNow() const override { return std::chrono::steady_clock::now(); }
};

// The clock of the installed scheduler (see Scheduler.h).
Clock& clock();

} // namespace platform
