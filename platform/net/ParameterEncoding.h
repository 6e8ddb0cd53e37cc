#pragma once

#include "platform/net/HttpClientError.h"
#include "platform/net/HttpRequest.h"

#include <nlohmann/json.hpp>

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Parameters of a request; the map keeps the keys in alphabetical order, the
// order in which they are written.
using Parameters = std::map<std::string, std::string>;

// Where URL-encoded parameters go.
enum class UrlEncoding {
    // The query string for GET, HEAD and DELETE, otherwise a URL-form body.
    methodDependent,
    // Always the query string.
    queryString,
    // Always a URL-form body.
    httpBody,
};

// How `requestWithEncodable` writes its value.
enum class ParameterEncoder {
    // A JSON body with "Content-Type" "application/json" unless the caller set one.
    json,
    // URL-form encoding of a JSON object, keys in alphabetical order; the query
    // string for GET, HEAD and DELETE, otherwise the body.
    urlForm,
};

// Percent-escapes `text` for a query component: everything but letters,
// digits, "-._~" and "/" is escaped, a space as "%20". "?" is escaped too,
// although a query may carry it, because some servers reject it.
std::string percentEscape(std::string_view text);

// The text of a query or form component: "%XX" escapes and "+" (a space)
// decoded; a "%" without two hex digits stays as it is.
std::string formDecode(std::string_view text);

// "a=1&b=x%20y", keys in the order given.
std::string formEncode(const Parameters& parameters);

// Writes `parameters` into `request`. Fails when the address cannot take a query.
std::optional<HttpClientError> encodeParameters(HttpRequest& request, const Parameters& parameters, UrlEncoding encoding);
std::optional<HttpClientError> encodeValue(HttpRequest& request, const nlohmann::json& value, ParameterEncoder encoder);

} // namespace platform
