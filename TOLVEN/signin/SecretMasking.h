#pragma once

#include "platform/net/HttpHeaderList.h"

#include <string>
#include <string_view>

namespace tolven {

// Console lines keep their shape but never carry a usable secret: a secret
// is shown as its first four characters followed by "…".
std::string maskSecret(std::string_view secret);

// The body with the values of "access_token", "refresh_token" and
// "id_token" masked wherever they appear as JSON string fields, however the
// server escaped their names or values.
std::string maskTokenFields(std::string_view body);

// A device-key answer (or any body carrying server keys in its "content"
// list) with the token words of each key masked; the device identifier, the
// first word, stays readable. Token fields are masked as well.
std::string maskServerKeys(std::string_view body);

// "name: value" per header, one per line, with the credential headers
// ("Authorization" after its scheme, "User-Token", "login-token", ...) masked.
std::string describeHeadersMasked(const platform::HttpHeaderList& headers);

} // namespace tolven
