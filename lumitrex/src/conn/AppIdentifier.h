#pragma once

#include <optional>
#include <string>

namespace lumitrex {

// The key the application identifier is encrypted under, padded with "0" to
// 16 characters; absent when no identifier is made (both device key and
// device number given, or a key longer than 16 characters).
std::optional<std::string> appIdentifierKey(const std::optional<std::string>& deviceKey, const std::optional<std::string>& deviceNo);

// The identifier for "enc": the host's "MobileCard Token" and bundle
// identifier, encrypted under that key; empty text when there is no key.
std::string makeAppIdentifier(const std::optional<std::string>& deviceKey, const std::optional<std::string>& deviceNo);

} // namespace lumitrex
