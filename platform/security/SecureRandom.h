#pragma once

#include "platform/security/SecurityStatus.h"

#include <cstdint>
#include <functional>
#include <span>

namespace platform {

// Fills `bytes` from the system's cryptographically secure random source.
// Returns errSecSuccess, or a failure status with `bytes` unspecified.
OSStatus secRandomCopyBytes(std::span<std::uint8_t> bytes);

// For tests: replaces the source (to script bytes or make it fail); an empty
// function restores the system's.
void setSecureRandomSourceForTesting(std::function<OSStatus(std::span<std::uint8_t>)> source);

} // namespace platform
