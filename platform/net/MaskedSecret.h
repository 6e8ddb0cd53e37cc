#pragma once

#include <string>
#include <string_view>

namespace platform {

// What logs show of a secret: its first four characters followed by "…", so
// that a line can be matched to a token without carrying a usable one.
std::string maskedSecret(std::string_view secret);

// A header's value as logs show it: masked for a secret header (see
// isSecretHeader), keeping the scheme word of "Authorization"; whole otherwise.
std::string maskedHeaderValue(std::string_view name, std::string_view value);

// A URL-form body ("a=1&b=2") with the values of credential parameters
// ("token", "refresh_token", "code", ...) masked.
std::string maskedFormBody(std::string_view body);

} // namespace platform
