#pragma once

#include "platform/foundation/DispatchQueue.h"
#include "platform/net/HttpClientError.h"
#include "platform/net/HttpRequest.h"
#include "platform/net/HttpResult.h"
#include "platform/net/RequestInterceptor.h"
#include "platform/net/ResponseValidation.h"
#include "platform/net/Transport.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class SessionCore;

// One request of an HttpSession, from its first adaptation to its completion.
// It is sent when its response handler is attached (attach exactly one, right
// after making it); the session keeps it alive until the completion has run.
class Request : public std::enable_shared_from_this<Request> {
public:
    virtual ~Request();
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

protected:
    // Runs on the session's queue after validation; fills the handler's value
    // or returns why the body does not decode.
    using Serializer = std::function<std::optional<HttpClientError>(const RawResponse&)>;
    // Runs on the caller's queue with the last attempt.
    using Delivery = std::function<void(RawResponse)>;

    Request(std::shared_ptr<SessionCore> core, HttpRequest initial, std::optional<HttpClientError> encodingError,
        std::optional<std::filesystem::path> destination);

    void addValidation(StatusValidation validation);
    void setCurlHandler(std::function<void(const std::string&)> handler);
    void start(const DispatchQueue& queue, Serializer serializer, Delivery delivery);
    const std::optional<std::filesystem::path>& destination() const { return destination_; }

private:
    void attempt();
    void adapted(RequestInterceptor::AdaptResult result);
    void send(HttpRequest request);
    void transferred(HttpRequest request, std::optional<std::filesystem::path> temporary, Transport::Result result);
    void failed(RawResponse raw);
    void decided(RawResponse raw, RetryDecision decision);
    void finish(RawResponse raw);
    std::optional<HttpClientError> storeDownload(const std::filesystem::path& temporary);

    const std::shared_ptr<SessionCore> core_;
    const HttpRequest initial_;
    const std::optional<HttpClientError> encodingError_;
    const std::optional<std::filesystem::path> destination_;

    // Set while building the request, before it starts; read on the session's queue afterwards.
    std::mutex mutex_;
    std::vector<StatusValidation> validations_;
    std::function<void(const std::string&)> curlHandler_;
    bool started_ = false;
    std::optional<DispatchQueue> deliveryQueue_;
    Serializer serializer_;
    Delivery delivery_;
    std::size_t retryCount_ = 0;
};

} // namespace platform
