#pragma once

#include "platform/foundation/Clock.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

// Formats dates with a fixed pattern and locale (ICU), in the device's current
// time zone unless one is given. Safe to share between threads.
class DateFormatter {
public:
    DateFormatter(std::string pattern, std::string localeIdentifier, std::optional<std::string> timeZoneIdentifier = std::nullopt);
    ~DateFormatter();

    std::string string(WallClockTime time) const;

    // Parses `text` with the pattern; nothing when it does not match.
    std::optional<WallClockTime> date(const std::string& text) const;

private:
    void followDeviceTimeZoneLocked() const;

    const std::optional<std::string> fixedTimeZone_;
    mutable std::mutex mutex_;
    struct Icu;
    std::unique_ptr<Icu> icu_;
    mutable std::uint64_t zoneGeneration_ = 0;
};

} // namespace platform
