#include "crypto/Base64.h"

#include <openssl/evp.h>

#include <algorithm>

namespace lumitrex {

namespace {

bool isAlphabet(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

} // namespace

std::optional<Bytes> decodeBase64(std::string_view text)
{
    // OpenSSL's decoder forgives blanks and loose padding, so the strict shape
    // is checked here first.
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=')
        padding = text.size() >= 2 && text[text.size() - 2] == '=' ? 2 : 1;
    auto body = text.substr(0, text.size() - padding);
    if (!std::all_of(body.begin(), body.end(), isAlphabet))
        return std::nullopt;
    if (text.empty())
        return Bytes {};
    Bytes bytes(text.size() / 4 * 3);
    int decoded = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (decoded < 0 || static_cast<std::size_t>(decoded) != bytes.size())
        return std::nullopt;
    bytes.resize(bytes.size() - padding);
    return bytes;
}

std::string encodeBase64(std::span<const std::uint8_t> bytes)
{
    std::string text((bytes.size() + 2) / 3 * 4 + 1, '\0');
    int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(), static_cast<int>(bytes.size()));
    text.resize(static_cast<std::size_t>(written));
    return text;
}

} // namespace lumitrex
