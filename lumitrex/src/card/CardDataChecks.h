#pragma once

#include <cstddef>
#include <string_view>

namespace lumitrex {

// The length of UTF-8 text in user-perceived characters (grapheme clusters),
// so "e" followed by a combining accent counts once.
std::size_t characterCount(std::string_view text);

// Every character is a hexadecimal digit of either case (empty text passes).
bool isHexDigits(std::string_view text);
// Non-empty and every character is a decimal digit.
bool isDecimalDigits(std::string_view text);

} // namespace lumitrex
