#include "platform/net/HttpClientError.h"

namespace platform {

HttpClientError HttpClientError::adaptationFailed(DomainError underlying)
{
    HttpClientError error(Kind::adaptationFailed, "Request adaptation failed with error: " + underlying.description);
    error.underlying_ = std::move(underlying);
    return error;
}

HttpClientError HttpClientError::encodingFailed(std::string reason)
{
    return HttpClientError(Kind::encodingFailed, "Parameter encoding failed: " + reason);
}

HttpClientError HttpClientError::unacceptableStatus(int statusCode)
{
    HttpClientError error(Kind::validationFailed, "Response status code was unacceptable: " + std::to_string(statusCode) + ".");
    error.responseCode_ = statusCode;
    return error;
}

HttpClientError HttpClientError::unacceptableContentType(std::string reason)
{
    return HttpClientError(Kind::validationFailed, "Response content type was unacceptable: " + reason);
}

HttpClientError HttpClientError::decodingFailed(std::string reason)
{
    return HttpClientError(Kind::decodingFailed, "Response could not be decoded: " + reason);
}

HttpClientError HttpClientError::transportFailed(TransportError transport)
{
    HttpClientError error(Kind::transportFailed, "The transfer failed: " + transport.message);
    error.transport_ = std::move(transport);
    return error;
}

} // namespace platform
