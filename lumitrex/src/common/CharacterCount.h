#pragma once

#include <cstddef>
#include <string_view>

namespace lumitrex {

// The length of UTF-8 text in user-perceived characters (grapheme clusters),
// so "e" followed by a combining accent counts once. Every length the library
// checks or pads is counted this way.
std::size_t characterCount(std::string_view text);

} // namespace lumitrex
