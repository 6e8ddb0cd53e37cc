#include "TOLVEN/signin/records/JsonFields.h"

#include <cmath>
#include <limits>

namespace tolven::jsonfields {

std::optional<std::int64_t> integerValue(const nlohmann::json& value)
{
    if (value.is_number_integer() && !value.is_number_unsigned())
        return value.get<std::int64_t>();
    if (value.is_number_unsigned()) {
        auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return static_cast<std::int64_t>(number);
        return std::nullopt;
    }
    if (value.is_number_float()) {
        double number = value.get<double>();
        // 2^63 itself does not fit, so the upper bound is exclusive.
        if (std::isfinite(number) && std::trunc(number) == number && number >= -9223372036854775808.0 && number < 9223372036854775808.0)
            return static_cast<std::int64_t>(number);
    }
    return std::nullopt;
}

const nlohmann::json* presentValue(const nlohmann::json& object, const char* key)
{
    if (!object.is_object())
        return nullptr;
    auto found = object.find(key);
    if (found == object.end() || found->is_null())
        return nullptr;
    return &*found;
}

std::optional<std::string> lenientText(const nlohmann::json& object, const char* key)
{
    auto* value = presentValue(object, key);
    if (value && value->is_string())
        return value->get<std::string>();
    return std::nullopt;
}

std::optional<std::int64_t> lenientInteger(const nlohmann::json& object, const char* key)
{
    auto* value = presentValue(object, key);
    return value ? integerValue(*value) : std::nullopt;
}

std::optional<std::string> strictText(const nlohmann::json& object, const char* key, const CodingPath& path)
{
    auto* value = presentValue(object, key);
    if (!value)
        return std::nullopt;
    if (!value->is_string())
        throw DecodingError(DecodingError::Kind::typeMismatch, appending(path, key), "Expected to decode String but found another type.");
    return value->get<std::string>();
}

std::optional<std::int64_t> strictInteger(const nlohmann::json& object, const char* key, const CodingPath& path)
{
    auto* value = presentValue(object, key);
    if (!value)
        return std::nullopt;
    auto number = integerValue(*value);
    if (!number)
        throw DecodingError(DecodingError::Kind::typeMismatch, appending(path, key), "Expected to decode Int but found another type.");
    return number;
}

void requireObject(const nlohmann::json& value, const CodingPath& path)
{
    if (!value.is_object())
        throw DecodingError(DecodingError::Kind::typeMismatch, path, "Expected to decode Dictionary<String, Any> but found another type.");
}

} // namespace tolven::jsonfields
