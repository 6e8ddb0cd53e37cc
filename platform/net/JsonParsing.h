#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string_view>

namespace platform {

// The deepest nesting of arrays and objects taken from outside. Copying,
// comparing or printing a value recurses once per level, so without a bound a
// small hostile document could exhaust the stack.
inline constexpr std::size_t kMaxJsonNesting = 200;

// Parses `text` as one JSON document. Bad JSON, ill-formed UTF-8 and nesting
// deeper than kMaxJsonNesting throw nlohmann::json::parse_error.
nlohmann::json parseJson(std::string_view text);

// As parseJson, but any failure gives a discarded value (is_discarded()).
nlohmann::json parseJsonOrDiscarded(std::string_view text);

} // namespace platform
