#include "TOLVEN/signin/SecretMasking.h"

#include "TOLVEN/signin/ServerKey.h"

#include "platform/net/JsonParsing.h"
#include "platform/net/MaskedJson.h"
#include "platform/net/MaskedSecret.h"

#include <vector>

namespace tolven {

namespace {

void replaceAll(std::string& text, const std::string& secret)
{
    auto masked = maskSecret(secret);
    for (auto at = text.find(secret); at != std::string::npos; at = text.find(secret, at + masked.size()))
        text.replace(at, secret.size(), masked);
}

// The token words of the server keys in a body's "content" list, unescaped.
std::vector<std::string> serverKeySecrets(std::string_view body)
{
    std::vector<std::string> secrets;
    auto json = platform::parseJsonOrDiscarded(body);
    if (!json.is_object())
        return secrets;
    auto content = json.find("content");
    if (content == json.end() || !content->is_array())
        return secrets;
    for (const auto& element : *content) {
        if (!element.is_string())
            continue;
        auto parts = serverKeyParts(element.get<std::string>());
        for (std::size_t index = 1; index < parts.size(); ++index) {
            // Words this short are no secret and would mask unrelated text.
            if (parts[index].size() > 4)
                secrets.push_back(parts[index]);
        }
    }
    return secrets;
}

} // namespace

std::string maskSecret(std::string_view secret)
{
    return platform::maskedSecret(secret);
}

std::string maskTokenFields(std::string_view body)
{
    return platform::maskedTokenFields(body);
}

std::string maskServerKeys(std::string_view body)
{
    auto secrets = serverKeySecrets(body);
    return platform::rewriteJsonStrings(maskTokenFields(body),
        [&secrets](const std::optional<std::string>&, const std::string& value) -> std::optional<std::string> {
            std::string masked = value;
            for (const auto& secret : secrets)
                replaceAll(masked, secret);
            if (masked == value)
                return std::nullopt;
            return masked;
        });
}

std::string describeHeadersMasked(const platform::HttpHeaderList& headers)
{
    std::string text;
    for (const auto& header : headers) {
        if (!text.empty())
            text += "\n";
        text += header.name + ": " + platform::maskedHeaderValue(header.name, header.value);
    }
    return text;
}

} // namespace tolven
