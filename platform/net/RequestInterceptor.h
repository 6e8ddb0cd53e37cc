#pragma once

#include "platform/net/HttpClientError.h"
#include "platform/net/HttpRequest.h"
#include "platform/net/HttpResponse.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <variant>

namespace platform {

enum class RetryDecision { retry, doNotRetry };

// What the retrier learns of a failed attempt.
struct FailedAttempt {
    // The request as it was sent (after adaptation).
    const HttpRequest& request;
    // The answer of the attempt, absent when the transfer itself failed.
    const std::optional<HttpResponse>& response;
    const HttpClientError& error;
    // How many times this request has already been sent again.
    std::size_t retryCount;
};

// Adapts every request of a session before each send and decides after each
// failure whether to send it again. Both run on the session's queue; their
// completions may be called later and from any thread, exactly once.
// The session does not bound retries: a retrier that keeps answering retry
// keeps the request going.
class RequestInterceptor {
public:
    using AdaptResult = std::variant<HttpRequest, DomainError>;
    using AdaptCompletion = std::function<void(AdaptResult)>;
    using RetryCompletion = std::function<void(RetryDecision)>;

    virtual ~RequestInterceptor() = default;

    // Completes with the request to send, or with an error that fails the
    // request without sending it.
    virtual void adapt(HttpRequest request, AdaptCompletion completion) { completion(std::move(request)); }

    // Called after a transport, validation or decoding failure.
    virtual void retry(const FailedAttempt&, RetryCompletion completion) { completion(RetryDecision::doNotRetry); }
};

} // namespace platform
