#pragma once

#include "platform/net/HttpSession.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace tolven {

// Every backend request goes through this one session: a 30 s request
// time-out and the AuthInterceptor. Made on first use.
platform::HttpSession& apiSession();

std::unique_ptr<platform::HttpSession> makeAPISession();

inline constexpr std::chrono::seconds apiRequestTimeout { 30 };

// The standard user defaults' "userToken". Nothing in the application
// writes it, so callers that need "User-Token" set it themselves.
std::optional<std::string> userTokenFromDefaults();

} // namespace tolven
