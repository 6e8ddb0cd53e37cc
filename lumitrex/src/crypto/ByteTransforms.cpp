#include "crypto/ByteTransforms.h"

#include "platform/foundation/Hex.h"

#include <algorithm>

namespace lumitrex {

namespace {

std::string hexWithDigits(std::span<const std::uint8_t> bytes, const char* digits)
{
    std::string text;
    text.reserve(bytes.size() * 2);
    for (auto byte : bytes) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0x0F]);
    }
    return text;
}


} // namespace

Bytes reverseBitsEachByte(std::span<const std::uint8_t> bytes)
{
    Bytes result(bytes.size());
    std::transform(bytes.rbegin(), bytes.rend(), result.begin(),
        [](std::uint8_t byte) { return static_cast<std::uint8_t>(permuteBits(byte) & 0xFE); });
    return result;
}

std::string hexString(std::span<const std::uint8_t> bytes)
{
    return hexWithDigits(bytes, "0123456789ABCDEF");
}

std::string lowerHexString(std::span<const std::uint8_t> bytes)
{
    return hexWithDigits(bytes, "0123456789abcdef");
}

std::optional<std::size_t> bytesFromHex(std::string_view hex, std::span<std::uint8_t> out)
{
    if (hex.size() % 2 != 0 || hex.size() / 2 > out.size())
        return std::nullopt;
    for (std::size_t i = 0; i < hex.size() / 2; ++i) {
        int high = platform::hexDigitValue(hex[2 * i]);
        int low = platform::hexDigitValue(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return hex.size() / 2;
}

Bytes bytesFromHex(std::string_view hex)
{
    Bytes bytes(hex.size() / 2);
    if (!bytesFromHex(hex, bytes))
        return {};
    return bytes;
}

} // namespace lumitrex
