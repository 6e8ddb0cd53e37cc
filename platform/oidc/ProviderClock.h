#pragma once

#include "platform/foundation/Clock.h"

#include <string_view>

namespace platform {

// The platform clock corrected to the identity provider's: token issue times
// are kept in the provider's time, so a device whose calendar is off does not
// take a fresh token for an expired one or the reverse. The correction is
// learnt from the "Date" header of the provider's token answers and lasts for
// the process.
class ProviderClock {
public:
    static WallClockTime now();
    static Duration offset();

    // Takes the provider's time from an HTTP date ("Sun, 06 Nov 1994 08:49:37
    // GMT"), read at the platform clock's now. Other texts, and dates before
    // 2000 or after 2199, change nothing.
    static void learnFromDateHeader(std::string_view httpDate);
};

} // namespace platform
