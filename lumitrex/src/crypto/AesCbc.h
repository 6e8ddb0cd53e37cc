#pragma once

#include "crypto/Bytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace lumitrex {

// The one initialisation vector of every AES call of the library.
extern const std::array<std::uint8_t, 16> kLibraryIv;

// AES-CBC with `iv` and no padding. AES-128, -192 or -256 by the key's length;
// any other key length, or a plain text that is not whole blocks, is refused:
// the reason goes to the console and the result is empty. Reuses a cipher
// context per thread, so it allocates nothing but its result.
Bytes encryptNoPadding(std::span<const std::uint8_t> plain, std::span<const std::uint8_t> key,
    const std::array<std::uint8_t, 16>& iv = kLibraryIv);

// The same into `out` (plain.size() bytes); false when refused.
bool encryptNoPaddingInto(std::span<const std::uint8_t> plain, std::span<const std::uint8_t> key,
    const std::array<std::uint8_t, 16>& iv, std::span<std::uint8_t> out);

// AES-CBC with the library's IV and PKCS#5 padding. The error is a readable
// reason (key length refused, bad padding, ...); nothing is written anywhere.
struct AesResult {
    Bytes bytes;
    std::optional<std::string> error;
};
AesResult encryptPkcs5(std::span<const std::uint8_t> plain, std::span<const std::uint8_t> key);
AesResult decryptPkcs5(std::span<const std::uint8_t> cipher, std::span<const std::uint8_t> key);

} // namespace lumitrex
