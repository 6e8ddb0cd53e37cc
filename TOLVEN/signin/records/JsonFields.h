#pragma once

#include "TOLVEN/signin/records/DecodingError.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

// Field readers for the backend's records. "Lenient" readers never fail: a
// missing key, null or a value of another type reads as absent. "Strict"
// readers take missing or null as absent and fail on any other type.
namespace tolven::jsonfields {

// A JSON number with an integral value inside the signed 64-bit range.
std::optional<std::int64_t> integerValue(const nlohmann::json& value);

std::optional<std::string> lenientText(const nlohmann::json& object, const char* key);
std::optional<std::int64_t> lenientInteger(const nlohmann::json& object, const char* key);

std::optional<std::string> strictText(const nlohmann::json& object, const char* key, const CodingPath& path);
std::optional<std::int64_t> strictInteger(const nlohmann::json& object, const char* key, const CodingPath& path);

// The value under `key` when present and not null.
const nlohmann::json* presentValue(const nlohmann::json& object, const char* key);

// Fails unless `value` is an object.
void requireObject(const nlohmann::json& value, const CodingPath& path);

} // namespace tolven::jsonfields
