#pragma once

#include <cstdint>

namespace platform {

// Result codes of the keychain and the secure random source, with the
// platform's values so that callers can tell the same cases apart.
using OSStatus = std::int32_t;

inline constexpr OSStatus errSecSuccess = 0;
inline constexpr OSStatus errSecIO = -36;
inline constexpr OSStatus errSecParam = -50;
inline constexpr OSStatus errSecDuplicateItem = -25299;
inline constexpr OSStatus errSecItemNotFound = -25300;
inline constexpr OSStatus errSecDecode = -26275;

} // namespace platform
