#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// The URL-safe Base64 alphabet without padding, as JWTs and PKCE use it.
std::string base64UrlEncode(std::span<const std::uint8_t> bytes);
// Accepts the text with or without padding; nothing when it is not Base64url.
std::optional<std::string> base64UrlDecode(std::string_view text);

} // namespace platform
