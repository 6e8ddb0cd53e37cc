#include "TOLVEN/signin/SecretMasking.h"

#include "TOLVEN/signin/ServerKey.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace tolven {

namespace {

void replaceAll(std::string& text, const std::string& secret)
{
    if (secret.size() <= 4)
        return;
    auto masked = maskSecret(secret);
    for (auto at = text.find(secret); at != std::string::npos; at = text.find(secret, at + masked.size()))
        text.replace(at, secret.size(), masked);
}

} // namespace

std::string maskSecret(std::string_view secret)
{
    if (secret.empty())
        return {};
    // Cut on a character boundary so a masked UTF-8 text stays valid.
    std::size_t cut = 0;
    for (int characters = 0; cut < secret.size() && characters < 4; ++characters) {
        ++cut;
        while (cut < secret.size() && (static_cast<unsigned char>(secret[cut]) & 0xC0) == 0x80)
            ++cut;
    }
    return std::string(secret.substr(0, cut)) + "…";
}

std::string maskTokenFields(std::string_view body)
{
    std::string result(body);
    for (std::string_view name : { "\"access_token\"", "\"refresh_token\"", "\"id_token\"" }) {
        for (auto at = result.find(name); at != std::string::npos; at = result.find(name, at + 1)) {
            // "name" : "value", with any spaces around the colon.
            auto cursor = result.find_first_not_of(" \t\r\n", at + name.size());
            if (cursor == std::string::npos || result[cursor] != ':')
                continue;
            cursor = result.find_first_not_of(" \t\r\n", cursor + 1);
            if (cursor == std::string::npos || result[cursor] != '"')
                continue;
            auto start = cursor + 1;
            auto end = start;
            while (end < result.size() && result[end] != '"')
                end += result[end] == '\\' ? 2 : 1;
            if (end >= result.size())
                continue;
            result.replace(start, end - start, maskSecret(std::string_view(result).substr(start, end - start)));
        }
    }
    return result;
}

std::string maskServerKeys(std::string_view body)
{
    std::string result = maskTokenFields(body);
    auto json = nlohmann::json::parse(body, nullptr, false);
    if (!json.is_object())
        return result;
    auto content = json.find("content");
    if (content == json.end() || !content->is_array())
        return result;
    for (const auto& element : *content) {
        if (!element.is_string())
            continue;
        auto parts = serverKeyParts(element.get<std::string>());
        for (std::size_t index = 1; index < parts.size(); ++index)
            replaceAll(result, parts[index]);
    }
    return result;
}

std::string describeHeadersMasked(const platform::HttpHeaderList& headers)
{
    std::string text;
    for (const auto& header : headers) {
        std::string value = header.value;
        if (platform::equalsIgnoringCase(header.name, "Authorization")) {
            auto space = value.find(' ');
            value = space == std::string::npos ? maskSecret(value) : value.substr(0, space + 1) + maskSecret(value.substr(space + 1));
        } else if (platform::equalsIgnoringCase(header.name, "login-token")) {
            value = maskSecret(value);
        }
        if (!text.empty())
            text += "\n";
        text += header.name + ": " + value;
    }
    return text;
}

} // namespace tolven
