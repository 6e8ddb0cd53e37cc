#include "platform/foundation/TimeZone.h"

#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace platform {

namespace {

std::mutex mutex;
std::string configured;
std::atomic<std::uint64_t> generation { 1 };

std::string hostTimeZone()
{
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    std::string text;
    if (zone)
        zone->getID(id).toUTF8String(text);
    return text.empty() ? "UTC" : text;
}

} // namespace

std::string currentTimeZoneIdentifier()
{
    std::lock_guard lock(mutex);
    if (configured.empty())
        configured = hostTimeZone();
    return configured;
}

void setCurrentTimeZoneIdentifier(std::string identifier)
{
    std::lock_guard lock(mutex);
    configured = std::move(identifier);
    generation.fetch_add(1, std::memory_order_release);
}

std::uint64_t timeZoneGeneration()
{
    return generation.load(std::memory_order_acquire);
}

} // namespace platform
