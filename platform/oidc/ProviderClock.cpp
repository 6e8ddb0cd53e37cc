#include "platform/oidc/ProviderClock.h"

#include "platform/testing/Seams.h"

#include <atomic>
#include <ctime>
#include <string>

namespace platform {

namespace {

std::atomic<Duration::rep> offsetTicks { 0 };

constexpr int kFirstPlausibleYear = 2000;
constexpr int kLastPlausibleYear = 2199;

} // namespace

WallClockTime ProviderClock::now()
{
    return std::chrono::time_point_cast<WallClockTime::duration>(clock().now() + offset());
}

Duration ProviderClock::offset()
{
    return Duration(offsetTicks.load());
}

void ProviderClock::learnFromDateHeader(std::string_view httpDate)
{
    std::string text(httpDate);
    std::tm parts {};
    const char* end = ::strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &parts);
    if (!end || *end != '\0')
        return;
    // No provider's clock is that far off; a year outside this span would move
    // every expiry judgement by decades, or overflow the clock's range.
    int year = parts.tm_year + 1900;
    if (year < kFirstPlausibleYear || year > kLastPlausibleYear)
        return;
    auto providerTime = std::chrono::system_clock::from_time_t(::timegm(&parts));
    offsetTicks.store(std::chrono::duration_cast<Duration>(providerTime - clock().now()).count());
}

void resetProviderClockForTesting()
{
    offsetTicks.store(0);
}

} // namespace platform
