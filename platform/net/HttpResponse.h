#pragma once

#include "platform/net/HttpHeaderList.h"

#include <optional>
#include <string>

namespace platform {

// The status line and headers of an answer; the body travels beside it.
struct HttpResponse {
    int statusCode = 0;
    std::string url;
    HttpHeaderList headers;

    // The media type of "Content-Type" without parameters, lower-cased, when there is one.
    std::optional<std::string> mimeType() const;
};

} // namespace platform
