#include "platform/oidc/Base64Url.h"

#include <openssl/evp.h>

#include <vector>

namespace platform {

std::string base64UrlEncode(std::span<const std::uint8_t> bytes)
{
    std::string text(4 * ((bytes.size() + 2) / 3), '\0');
    auto written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(), static_cast<int>(bytes.size()));
    text.resize(static_cast<std::size_t>(written));
    while (!text.empty() && text.back() == '=')
        text.pop_back();
    for (auto& c : text) {
        if (c == '+')
            c = '-';
        else if (c == '/')
            c = '_';
    }
    return text;
}

std::optional<std::string> base64UrlDecode(std::string_view text)
{
    while (!text.empty() && text.back() == '=')
        text.remove_suffix(1);
    if (text.size() % 4 == 1)
        return std::nullopt;
    std::string standard;
    standard.reserve(text.size() + 3);
    for (char c : text) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (c == '-')
            standard.push_back('+');
        else if (c == '_')
            standard.push_back('/');
        else if (plain)
            standard.push_back(c);
        else
            return std::nullopt;
    }
    std::size_t padding = (4 - standard.size() % 4) % 4;
    standard.append(padding, '=');

    std::vector<unsigned char> bytes(standard.size() / 4 * 3 + 1);
    auto decoded = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(standard.data()),
        static_cast<int>(standard.size()));
    if (decoded < 0)
        return std::nullopt;
    // EVP_DecodeBlock counts the padding as zero bytes.
    return std::string(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(decoded) - padding);
}

} // namespace platform
