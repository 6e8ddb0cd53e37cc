#pragma once

#include "platform/foundation/DispatchQueue.h"
#include "platform/net/HttpClientError.h"
#include "platform/net/HttpRequest.h"
#include "platform/net/HttpResponse.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Moves the bytes of one request and brings back the answer; it knows nothing
// of adapting, validating or retrying.
class Transport {
public:
    struct Result {
        std::optional<HttpResponse> response;
        // The body, unless it was written to the caller's file.
        std::string body;
        std::optional<TransportError> error;
    };
    using Completion = std::function<void(Result)>;

    virtual ~Transport() = default;

    // Sends `request`. With `bodyFile` the answer's body is streamed into that
    // file (created or truncated) instead of `Result::body`. `completion` runs
    // exactly once, on the transport's own thread; the transfer fails with a
    // time-out when it goes `request.timeout` without data.
    virtual void send(HttpRequest request, std::optional<std::filesystem::path> bodyFile, Completion completion) = 0;

    // A serial queue for a session's own work. A transport with a thread of
    // its own runs it there, so that a request and its answer cross no other
    // thread; by default it is an ordinary serial queue.
    virtual DispatchQueue makeSerialQueue(std::string label) { return DispatchQueue(std::move(label)); }
};

// The process-wide libcurl transport, created on first use.
std::shared_ptr<Transport> sharedTransport();

} // namespace platform
