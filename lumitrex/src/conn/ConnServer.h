#pragma once

#include <string>

namespace lumitrex {

// The card-issuing server's address without a trailing "/": the host
// configuration's "MobileCard Server URL" when it is an https address,
// otherwise the maker's server.
std::string connServerUrl();

} // namespace lumitrex
