#pragma once

#include "platform/net/DataRequest.h"
#include "platform/net/DownloadRequest.h"
#include "platform/net/HttpHeaderList.h"
#include "platform/net/HttpMethod.h"
#include "platform/net/HttpSessionConfiguration.h"
#include "platform/net/ParameterEncoding.h"
#include "platform/net/RequestInterceptor.h"
#include "platform/net/Transport.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// A client session: builds requests, has its interceptor adapt each one before
// every send on the session's own serial queue, sends them through its
// transport, validates and decodes the answers there, asks the interceptor
// whether to send a failed request again, and delivers the last outcome on
// the queue the caller names. Requests in flight keep what they need alive,
// so a session may be destroyed before its requests finish.
class HttpSession {
public:
    explicit HttpSession(HttpSessionConfiguration configuration = HttpSessionConfiguration::defaultConfiguration(),
        std::shared_ptr<RequestInterceptor> interceptor = nullptr, std::shared_ptr<Transport> transport = sharedTransport());
    ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    // A data request; `parameters` are URL-encoded as `encoding` says.
    std::shared_ptr<DataRequest> requestWithParameters(std::string url, HttpMethod method = HttpMethod::get(),
        std::optional<Parameters> parameters = std::nullopt, UrlEncoding encoding = UrlEncoding::methodDependent,
        HttpHeaderList headers = {});

    // A data request whose value is written by `encoder`.
    std::shared_ptr<DataRequest> requestWithEncodable(std::string url, HttpMethod method, const nlohmann::json& value,
        ParameterEncoder encoder, HttpHeaderList headers = {});

    // A record converted with nlohmann's `to_json`; a conversion that throws
    // fails the request with an encoding error.
    template<typename T>
    std::shared_ptr<DataRequest> requestWithEncodable(std::string url, HttpMethod method, const T& value,
        ParameterEncoder encoder, HttpHeaderList headers = {})
    {
        try {
            return requestWithEncodable(std::move(url), std::move(method), nlohmann::json(value), encoder, std::move(headers));
        } catch (const std::exception& error) {
            return failedRequest(std::move(url), std::move(method), std::move(headers), error.what());
        }
    }

    // A download whose body is stored at `destination`.
    std::shared_ptr<DownloadRequest> downloadToFile(std::string url, std::filesystem::path destination,
        HttpMethod method = HttpMethod::get(), std::optional<Parameters> parameters = std::nullopt,
        UrlEncoding encoding = UrlEncoding::methodDependent, HttpHeaderList headers = {});

    const HttpSessionConfiguration& configuration() const;

    // Requests started and not yet delivered to their completion's queue.
    std::size_t requestsInFlight() const;

private:
    std::shared_ptr<DataRequest> failedRequest(std::string url, HttpMethod method, HttpHeaderList headers, std::string reason);

    std::shared_ptr<SessionCore> core_;
};

// The shared session with the default configuration and no interceptor.
HttpSession& defaultHttpSession();

} // namespace platform
