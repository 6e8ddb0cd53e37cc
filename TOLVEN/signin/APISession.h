#pragma once

#include "platform/net/HttpSession.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace tolven {

// Every backend request goes through this one session: a 30 s request
// time-out and the AuthInterceptor. Made on first use; shared so that work
// that goes on with it after an answer keeps it.
std::shared_ptr<platform::HttpSession> apiSession();

// platform::defaultHttpSession() for the calls that keep their session across
// answers. That session lives for the whole process; the handle owns nothing.
std::shared_ptr<platform::HttpSession> defaultSessionHandle();

std::unique_ptr<platform::HttpSession> makeAPISession();

inline constexpr std::chrono::seconds apiRequestTimeout { 30 };

// The standard user defaults' "userToken". Nothing in the application
// writes it, so callers that need "User-Token" set it themselves.
std::optional<std::string> userTokenFromDefaults();

} // namespace tolven
