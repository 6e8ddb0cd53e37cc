#pragma once

#include "platform/net/HttpClientError.h"
#include "platform/net/HttpRequest.h"
#include "platform/net/HttpResponse.h"

#include <optional>

namespace platform {

struct StatusValidation {
    int first = 200;
    int last = 299;
    // Also require a content type that the request's "Accept" header accepts
    // (when it has one and the body is not empty).
    bool checkContentType = true;
};

std::optional<HttpClientError> validateResponse(const StatusValidation& validation, const HttpRequest& request,
    const HttpResponse& response, bool bodyIsEmpty);

} // namespace platform
