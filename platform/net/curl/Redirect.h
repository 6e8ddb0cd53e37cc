#pragma once

#include "platform/net/HttpClientError.h"
#include "platform/net/HttpRequest.h"

#include <string_view>
#include <variant>

namespace platform {

// The transport follows redirects itself rather than letting libcurl do it,
// because libcurl would send every custom header on to any host.
inline constexpr int kMaxRedirects = 10;

bool isRedirectStatus(long status);

// The request that follows `previous` after a redirect answer `status` to the
// absolute address `location`, or why the transfer ends there. A target that
// is not https is refused; a target on another origin (scheme, host or port)
// gets no secret headers; 303, and 301 or 302 after a POST, continue as a GET
// without a body, the way browsers do.
std::variant<HttpRequest, TransportError> redirectedRequest(const HttpRequest& previous, long status, std::string_view location);

} // namespace platform
