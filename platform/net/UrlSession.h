#pragma once

#include "platform/net/HttpClientError.h"
#include "platform/net/HttpRequest.h"
#include "platform/net/HttpResponse.h"
#include "platform/net/Transport.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Plain URL loading without adapting, validating or retrying.
class UrlSession {
public:
    // Body when an answer arrived (possibly empty), response, and the transfer's error.
    using DataTaskCompletion = std::function<void(std::optional<std::string> data, std::optional<HttpResponse> response,
        std::optional<TransportError> error)>;

    class DataTask {
    public:
        // Starts the transfer; later calls do nothing.
        void resume();

    private:
        friend class UrlSession;
        DataTask(std::shared_ptr<Transport> transport, HttpRequest request, DataTaskCompletion completion);

        std::shared_ptr<Transport> transport_;
        HttpRequest request_;
        DataTaskCompletion completion_;
        bool resumed_ = false;
    };

    static UrlSession& shared();

    explicit UrlSession(std::shared_ptr<Transport> transport);

    // The completion runs once, on the transport's own thread, so a caller may
    // block its own thread (even the main one) until it has run.
    std::shared_ptr<DataTask> dataTask(HttpRequest request, DataTaskCompletion completion);

private:
    std::shared_ptr<Transport> transport_;
};

} // namespace platform
