#pragma once

#include "platform/security/SecurityStatus.h"

#include <cstdint>
#include <span>

namespace platform {

// Fills `bytes` from the system's cryptographically secure random source.
// Returns errSecSuccess, or a failure status with `bytes` unspecified.
OSStatus secRandomCopyBytes(std::span<std::uint8_t> bytes);

} // namespace platform
