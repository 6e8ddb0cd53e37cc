#pragma once

#include <cstdint>
#include <vector>

namespace lumitrex {

using Bytes = std::vector<std::uint8_t>;

} // namespace lumitrex
