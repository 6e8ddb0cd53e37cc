#include "crypto/AppIdCipher.h"

#include "crypto/AesCbc.h"
#include "crypto/Base64.h"

namespace lumitrex {

std::string encryptAppId(std::string_view text, std::string_view key)
{
    auto asBytes = [](std::string_view s) {
        return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    };
    auto result = encryptPkcs5(asBytes(text), asBytes(key));
    if (result.error)
        return {};
    return encodeBase64(result.bytes);
}

} // namespace lumitrex
