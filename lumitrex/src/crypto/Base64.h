#pragma once

#include "crypto/Bytes.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumitrex {

// Standard Base64 (RFC 4648 alphabet, "=" padding, length a multiple of 4).
// Nothing is skipped: a blank or line break anywhere makes the text invalid.
std::optional<Bytes> decodeBase64(std::string_view text);

// Standard Base64 with "=" padding and no line breaks.
std::string encodeBase64(std::span<const std::uint8_t> bytes);

} // namespace lumitrex
