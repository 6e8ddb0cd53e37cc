#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Decides a JSON string's replacement from its unescaped text and, for an
// object member, its unescaped key; nullopt keeps the string as written.
using JsonStringRewrite = std::function<std::optional<std::string>(const std::optional<std::string>& key, const std::string& value)>;

// `text` with its string values rewritten, everything else kept byte for
// byte. Keys and values are judged after unescaping, so an escape ("\/",
// "\u005f") cannot hide a secret; text that is not JSON is scanned all the
// same, and a string cut off at the end counts up to the end.
std::string rewriteJsonStrings(std::string_view text, const JsonStringRewrite& rewrite);

// `text` with the values of "access_token", "refresh_token" and "id_token" masked.
std::string maskedTokenFields(std::string_view text);

} // namespace platform
