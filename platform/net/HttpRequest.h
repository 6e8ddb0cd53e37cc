#pragma once

#include "platform/foundation/Clock.h"
#include "platform/net/HttpHeaderList.h"
#include "platform/net/HttpMethod.h"

#include <chrono>
#include <string>

namespace platform {

// One request as it goes to the transport.
struct HttpRequest {
    std::string url;
    HttpMethod method = HttpMethod::get();
    HttpHeaderList headers;
    std::string body;
    // The longest time the transfer may go without sending or receiving data.
    Duration timeout = std::chrono::seconds(60);
};

} // namespace platform
