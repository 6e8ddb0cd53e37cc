#pragma once

#include "platform/net/HttpRequest.h"

#include <string>

namespace platform {

// `request` as a curl command line, one option a line, every argument quoted
// for a POSIX shell so that pasting it runs exactly this request.
std::string curlCommandFor(const HttpRequest& request);

} // namespace platform
