#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The device's time zone: the host's zone until the platform setting changes
// it. Tests always fix it, so no result depends on the machine they run on.
std::string currentTimeZoneIdentifier();
void setCurrentTimeZoneIdentifier(std::string identifier);

// Changes whenever the setting changes, so formatters can notice cheaply.
std::uint64_t timeZoneGeneration();

} // namespace platform
