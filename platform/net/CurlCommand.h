#pragma once

#include "platform/net/HttpRequest.h"

#include <string>

namespace platform {

// `request` as a curl command line, one option a line, every argument quoted
// for a POSIX shell. Credentials in headers, form bodies and the token fields
// of JSON bodies are masked (see MaskedSecret.h): the text goes to logs.
std::string curlCommandFor(const HttpRequest& request);

} // namespace platform
