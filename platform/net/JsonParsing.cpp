#include "platform/net/JsonParsing.h"

#include <optional>
#include <string>

namespace platform {

namespace {

// The offset of the first bracket that opens a level deeper than the bound.
// Brackets inside strings do not count. Text that is not JSON may be counted
// wrongly, but the parser refuses that text anyway.
std::optional<std::size_t> firstTooDeepBracket(std::string_view text)
{
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char c = text[at];
        if (inString) {
            if (c == '\\')
                ++at;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxJsonNesting)
                return at;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return std::nullopt;
}

} // namespace

nlohmann::json parseJson(std::string_view text)
{
    if (auto at = firstTooDeepBracket(text)) {
        throw nlohmann::json::parse_error::create(101, *at + 1,
            "arrays and objects are nested deeper than " + std::to_string(kMaxJsonNesting) + " levels", nullptr);
    }
    return nlohmann::json::parse(text);
}

nlohmann::json parseJsonOrDiscarded(std::string_view text)
{
    if (firstTooDeepBracket(text))
        return nlohmann::json(nlohmann::json::value_t::discarded);
    return nlohmann::json::parse(text, nullptr, false);
}

} // namespace platform
