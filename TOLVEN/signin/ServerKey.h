#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tolven {

// The parts of a server key (device identifier, refresh token, gateway token):
// the text split at spaces, empty parts dropped.
std::vector<std::string> serverKeyParts(std::string_view key);

} // namespace tolven
