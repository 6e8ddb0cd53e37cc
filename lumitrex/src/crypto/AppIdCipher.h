#pragma once

#include <string>
#include <string_view>

namespace lumitrex {

// The app identifier for the card-issuing server: AES-CBC of the UTF-8 text
// with the UTF-8 key, the library's IV and PKCS#5 padding, as Base64. Empty
// when the key's length is not an AES key length (16, 24 or 32 bytes).
std::string encryptAppId(std::string_view text, std::string_view key);

} // namespace lumitrex
