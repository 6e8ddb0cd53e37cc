#pragma once

#include "platform/foundation/DispatchQueue.h"
#include "platform/net/HttpSessionConfiguration.h"
#include "platform/net/RequestInterceptor.h"
#include "platform/net/Transport.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform {

class Request;

// What a session's requests share; it outlives the session while requests are in flight.
class SessionCore {
public:
    SessionCore(HttpSessionConfiguration configuration, std::shared_ptr<RequestInterceptor> interceptor,
        std::shared_ptr<Transport> transport);

    const HttpSessionConfiguration configuration;
    const std::shared_ptr<RequestInterceptor> interceptor;
    const std::shared_ptr<Transport> transport;
    // Adapting, validating, decoding and retrying happen here, one step at a
    // time: on the transport's own thread when it has one.
    const DispatchQueue queue;

    // Keeps a started request alive until it has finished.
    void retain(std::shared_ptr<Request> request);
    void release(const Request* request);
    std::size_t requestsInFlight() const;

private:
    mutable std::mutex mutex_;
    std::unordered_map<const Request*, std::shared_ptr<Request>> inFlight_;
};

} // namespace platform
