#pragma once

#include <string_view>

namespace lumitrex {

// Every character is a hexadecimal digit of either case (empty text passes).
bool isHexDigits(std::string_view text);
// Non-empty and every character is a decimal digit.
bool isDecimalDigits(std::string_view text);
// 32 hexadecimal digits: the text form of a 16-byte AES key.
bool isAesKeyHex(std::string_view text);

} // namespace lumitrex
