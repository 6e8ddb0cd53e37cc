#include "platform/foundation/DateFormatter.h"

#include "platform/foundation/TimeZone.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace platform {

struct DateFormatter::Icu {
    std::unique_ptr<icu::SimpleDateFormat> format;
};

DateFormatter::DateFormatter(std::string pattern, std::string localeIdentifier, std::optional<std::string> timeZoneIdentifier)
    : fixedTimeZone_(std::move(timeZoneIdentifier))
{
    // ICU answers U_USING_FALLBACK_WARNING for locales such as "ko_KR_POSIX";
    // a warning is success.
    icu_ = std::make_unique<Icu>();
    auto& format = icu_->format;
    UErrorCode status = U_ZERO_ERROR;
    format = std::make_unique<icu::SimpleDateFormat>(
        icu::UnicodeString::fromUTF8(pattern), icu::Locale::createCanonical(localeIdentifier.c_str()), status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString::fromUTF8(pattern), icu::Locale::getRoot(), status);
    }
    if (fixedTimeZone_)
        format->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(*fixedTimeZone_)));
}

DateFormatter::~DateFormatter() = default;

void DateFormatter::followDeviceTimeZoneLocked() const
{
    if (fixedTimeZone_)
        return;
    auto generation = timeZoneGeneration();
    if (generation == zoneGeneration_)
        return;
    icu_->format->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(currentTimeZoneIdentifier())));
    zoneGeneration_ = generation;
}

std::string DateFormatter::string(WallClockTime time) const
{
    auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    std::lock_guard lock(mutex_);
    followDeviceTimeZoneLocked();
    icu::UnicodeString text;
    icu_->format->format(static_cast<UDate>(millis), text);
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

std::optional<WallClockTime> DateFormatter::date(const std::string& text) const
{
    std::lock_guard lock(mutex_);
    followDeviceTimeZoneLocked();
    UErrorCode status = U_ZERO_ERROR;
    UDate parsed = icu_->format->parse(icu::UnicodeString::fromUTF8(text), status);
    if (U_FAILURE(status))
        return std::nullopt;
    return WallClockTime(std::chrono::duration_cast<WallClockTime::duration>(std::chrono::duration<double, std::milli>(parsed)));
}

} // namespace platform
