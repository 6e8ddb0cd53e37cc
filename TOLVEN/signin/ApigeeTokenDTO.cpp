#include "TOLVEN/signin/ApigeeTokenDTO.h"

#include "TOLVEN/signin/records/JsonFields.h"

#include <algorithm>
#include <charconv>

namespace tolven {

using namespace jsonfields;

namespace {

std::string requiredText(const nlohmann::json& object, const char* key)
{
    auto found = object.find(key);
    if (found == object.end())
        throw DecodingError(DecodingError::Kind::keyNotFound, { key }, std::string("No value associated with key \"") + key + "\".");
    if (found->is_null())
        throw DecodingError(DecodingError::Kind::valueNotFound, { key }, "Expected String value but found null instead.");
    if (!found->is_string())
        throw DecodingError(DecodingError::Kind::typeMismatch, { key }, "Expected to decode String but found another type.");
    return found->get<std::string>();
}

// An optional sign and one or more ASCII digits, nothing else, within 64 bits.
std::optional<std::int64_t> decimalInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::string digits = negative ? "-" + std::string(text) : std::string(text);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

} // namespace

std::int64_t ApigeeTokenDTO::decodeFlexibleInt(const nlohmann::json& object, const std::string& key)
{
    auto found = object.find(key);
    if (found != object.end()) {
        if (auto number = integerValue(*found))
            return *number;
        if (found->is_string()) {
            if (auto number = decimalInteger(found->get<std::string>()))
                return *number;
        }
    }
    throw DecodingError(DecodingError::Kind::typeMismatch, { key }, "Expected Int or String convertible to Int");
}

ApigeeTokenDTO ApigeeTokenDTO::decode(const nlohmann::json& json)
{
    requireObject(json, {});
    ApigeeTokenDTO token;
    token.token_type = requiredText(json, "token_type");
    token.access_token = requiredText(json, "access_token");
    token.refresh_token = strictText(json, "refresh_token", {});
    token.expires_in = decodeFlexibleInt(json, "expires_in");
    try {
        token.refresh_token_expires_in = decodeFlexibleInt(json, "refresh_token_expires_in");
    } catch (const DecodingError&) {
        token.refresh_token_expires_in.reset();
    }
    return token;
}

} // namespace tolven
