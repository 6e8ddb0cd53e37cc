#include "platform/net/HttpSession.h"

#include "platform/net/SessionCore.h"

namespace platform {

HttpSession::HttpSession(HttpSessionConfiguration configuration, std::shared_ptr<RequestInterceptor> interceptor,
    std::shared_ptr<Transport> transport)
    : core_(std::make_shared<SessionCore>(std::move(configuration), std::move(interceptor), std::move(transport)))
{
}

HttpSession::~HttpSession() = default;

const HttpSessionConfiguration& HttpSession::configuration() const
{
    return core_->configuration;
}

std::shared_ptr<DataRequest> HttpSession::requestWithParameters(std::string url, HttpMethod method,
    std::optional<Parameters> parameters, UrlEncoding encoding, HttpHeaderList headers)
{
    HttpRequest request { std::move(url), std::move(method), std::move(headers), {}, core_->configuration.timeoutIntervalForRequest };
    std::optional<HttpClientError> error;
    if (parameters)
        error = encodeParameters(request, *parameters, encoding);
    return std::make_shared<DataRequest>(core_, std::move(request), std::move(error));
}

std::shared_ptr<DataRequest> HttpSession::requestWithEncodable(std::string url, HttpMethod method, const nlohmann::json& value,
    ParameterEncoder encoder, HttpHeaderList headers)
{
    HttpRequest request { std::move(url), std::move(method), std::move(headers), {}, core_->configuration.timeoutIntervalForRequest };
    auto error = encodeValue(request, value, encoder);
    return std::make_shared<DataRequest>(core_, std::move(request), std::move(error));
}

std::shared_ptr<DataRequest> HttpSession::failedRequest(std::string url, HttpMethod method, HttpHeaderList headers, std::string reason)
{
    HttpRequest request { std::move(url), std::move(method), std::move(headers), {}, core_->configuration.timeoutIntervalForRequest };
    return std::make_shared<DataRequest>(core_, std::move(request), HttpClientError::encodingFailed(std::move(reason)));
}

std::shared_ptr<DownloadRequest> HttpSession::downloadToFile(std::string url, std::filesystem::path destination,
    HttpMethod method, std::optional<Parameters> parameters, UrlEncoding encoding, HttpHeaderList headers)
{
    HttpRequest request { std::move(url), std::move(method), std::move(headers), {}, core_->configuration.timeoutIntervalForRequest };
    std::optional<HttpClientError> error;
    if (parameters)
        error = encodeParameters(request, *parameters, encoding);
    return std::make_shared<DownloadRequest>(core_, std::move(request), std::move(error), std::move(destination));
}

HttpSession& defaultHttpSession()
{
    // Never destroyed: requests may still complete while the process exits.
    static auto* session = new HttpSession();
    return *session;
}

std::size_t HttpSession::requestsInFlight() const
{
    return core_->requestsInFlight();
}

} // namespace platform
