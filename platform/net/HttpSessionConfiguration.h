#pragma once

#include "platform/foundation/Clock.h"
#include "platform/net/HttpHeaderList.h"

#include <chrono>

namespace platform {

struct HttpSessionConfiguration {
    // The per-request idle time-out of 60 s and the client's default
    // "Accept-Encoding", "Accept-Language" and "User-Agent" headers.
    static HttpSessionConfiguration defaultConfiguration();

    // The longest time one request may go without data.
    Duration timeoutIntervalForRequest = std::chrono::seconds(60);
    // Sent with every request that does not set the header itself.
    HttpHeaderList headers;
};

} // namespace platform
