#pragma once

#include "platform/net/HttpClientError.h"

#include <string_view>

namespace platform {

// Whether `url` is an "https" address. Nothing is ever sent, or followed by a
// redirect, to any other kind of address.
bool isHttpsAddress(std::string_view url);

// The error of a request or redirect to an address that is not https.
TransportError plainAddressRefused();

// Whether the header `name` carries a credential: such a header is shown only
// masked and never follows a redirect to another host.
bool isSecretHeader(std::string_view name);

} // namespace platform
