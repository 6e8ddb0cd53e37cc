#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devstack {

using Block = std::array<std::uint8_t, 16>;

// What a door reader computes on its own to check a card: the card key behind
// the site's Base64 card key, and the second identifier a genuine card sends
// for a card number, a site number and a timestamp.
class ReaderCrypto {
public:
    // The Base64 card key a site configures, for a card key of 32 hex digits.
    static std::string makeCardKey(std::string_view cardKeyHex);
    // Nothing when the text is not Base64 or does not decrypt.
    static std::optional<std::string> decryptCardKey(std::string_view base64);

    // E3 for the 8 card-number bytes, the 16-hex-digit site number and the
    // 8 timestamp bytes; nothing when the card key or site number is unusable.
    static std::optional<Block> expectedE3(const std::array<std::uint8_t, 8>& uid8, std::string_view siteNumberHex,
        const std::array<std::uint8_t, 8>& ts8, std::string_view cardKeyHex);
};

} // namespace devstack
