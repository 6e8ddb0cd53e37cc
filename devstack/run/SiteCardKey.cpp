#include "devstack/run/SiteCardKey.h"

#include "devstack/radio/ReaderCrypto.h"
#include "platform/security/SecureRandom.h"

#include <array>
#include <cstdint>
#include <stdexcept>

namespace devstack {

std::string makeSiteCardKey()
{
    std::array<std::uint8_t, 16> bytes {};
    if (platform::secRandomCopyBytes(bytes) != platform::errSecSuccess)
        throw std::runtime_error("no random bytes for the site card key");
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (auto byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0f];
    }
    return ReaderCrypto::makeCardKey(hex);
}

} // namespace devstack
