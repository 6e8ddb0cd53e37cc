#include "platform/net/MaskedJson.h"

#include "platform/net/JsonParsing.h"
#include "platform/net/MaskedSecret.h"

namespace platform {

namespace {

bool isJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One past the closing quote of the string that opens at `start`, or the end of `text`.
std::size_t stringEnd(std::string_view text, std::size_t start)
{
    for (std::size_t at = start + 1; at < text.size(); ++at) {
        if (text[at] == '\\')
            ++at;
        else if (text[at] == '"')
            return at + 1;
    }
    return text.size();
}

std::optional<std::string> unescaped(std::string_view token)
{
    auto value = parseJsonOrDiscarded(token);
    if (!value.is_string())
        return std::nullopt;
    return value.get<std::string>();
}

std::string escaped(const std::string& text)
{
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

std::string rewriteJsonStrings(std::string_view text, const JsonStringRewrite& rewrite)
{
    std::string result;
    result.reserve(text.size());
    // The key whose value may come next: only a colon and spaces lie between them.
    std::optional<std::string> key;
    std::size_t at = 0;
    while (at < text.size()) {
        char c = text[at];
        if (c != '"') {
            if (c != ':' && !isJsonSpace(c))
                key.reset();
            result += c;
            ++at;
            continue;
        }
        std::size_t end = stringEnd(text, at);
        std::string_view token = text.substr(at, end - at);
        auto value = unescaped(token);
        std::size_t next = end;
        while (next < text.size() && isJsonSpace(text[next]))
            ++next;
        if (value && next < text.size() && text[next] == ':') {
            key = std::move(value);
        } else {
            // A string that does not unescape (cut off, bad escape) is judged by its raw text.
            std::string judged = value ? *value : std::string(token.substr(1, token.size() > 1 && token.back() == '"' ? token.size() - 2 : std::string_view::npos));
            auto replacement = rewrite(key, judged);
            key.reset();
            if (replacement) {
                result += escaped(*replacement);
                at = end;
                continue;
            }
        }
        result += token;
        at = end;
    }
    return result;
}

std::string maskedTokenFields(std::string_view text)
{
    return rewriteJsonStrings(text, [](const std::optional<std::string>& key, const std::string& value) -> std::optional<std::string> {
        if (key && (*key == "access_token" || *key == "refresh_token" || *key == "id_token"))
            return maskedSecret(value);
        return std::nullopt;
    });
}

} // namespace platform
