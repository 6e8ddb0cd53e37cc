#pragma once

#include "crypto/Bytes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumitrex {

// The byte with its eight bits in reverse order (bit i becomes bit 7 - i).
constexpr std::uint8_t permuteBits(std::uint8_t byte)
{
    byte = static_cast<std::uint8_t>((byte & 0xF0) >> 4 | (byte & 0x0F) << 4);
    byte = static_cast<std::uint8_t>((byte & 0xCC) >> 2 | (byte & 0x33) << 2);
    byte = static_cast<std::uint8_t>((byte & 0xAA) >> 1 | (byte & 0x55) << 1);
    return byte;
}

// Each byte bit-reversed with its lowest bit cleared, then the list reversed.
Bytes reverseBitsEachByte(std::span<const std::uint8_t> bytes);

// Two upper-case hex digits per byte, no separator.
std::string hexString(std::span<const std::uint8_t> bytes);

// Two lower-case hex digits per byte: how mobile keys are written.
std::string lowerHexString(std::span<const std::uint8_t> bytes);

// One byte per two hex digits (either case), in text order. Text with any
// other character, or an odd number of digits, gives no bytes.
Bytes bytesFromHex(std::string_view hex);

// The same into `out`; returns how many bytes were written, or nothing when
// the text is not hex or does not fit.
std::optional<std::size_t> bytesFromHex(std::string_view hex, std::span<std::uint8_t> out);

} // namespace lumitrex
