#pragma once

#include <optional>
#include <string>

namespace platform {

// An error of another component, by domain, code and description.
struct DomainError {
    std::string domain;
    long code = 0;
    std::string description;
    bool operator==(const DomainError&) const = default;
};

// Why a transfer ended without an answer.
struct TransportError {
    // secureConnectionRequired: the address, or a redirect's target, was not
    // https; nothing was sent to it.
    enum class Code { timedOut, cannotConnect, secureConnectionFailed, secureConnectionRequired, badUrl, fileFailed, other };
    Code code = Code::other;
    std::string message;
};

// The HTTP client's error. Every failed request completes with exactly one.
class HttpClientError {
public:
    enum class Kind {
        // The interceptor refused the request; it was never sent.
        adaptationFailed,
        // The parameters could not be written into the request; it was never sent.
        encodingFailed,
        // The status or the content type was not acceptable.
        validationFailed,
        // The body could not be turned into the asked-for value.
        decodingFailed,
        // The transfer itself failed (no connection, TLS, time-out) or the download could not be stored.
        transportFailed,
    };

    static HttpClientError adaptationFailed(DomainError underlying);
    static HttpClientError encodingFailed(std::string reason);
    static HttpClientError unacceptableStatus(int statusCode);
    static HttpClientError unacceptableContentType(std::string reason);
    static HttpClientError decodingFailed(std::string reason);
    static HttpClientError transportFailed(TransportError error);

    Kind kind() const { return kind_; }
    // The interceptor's error, for adaptation failures.
    const std::optional<DomainError>& underlyingError() const { return underlying_; }
    // The rejected status, for validation failures on the status.
    std::optional<int> responseCode() const { return responseCode_; }
    // The transport's reason, for transport failures.
    const std::optional<TransportError>& transportError() const { return transport_; }
    bool isTimeout() const { return transport_ && transport_->code == TransportError::Code::timedOut; }

    // A readable English sentence for logs.
    const std::string& description() const { return description_; }

private:
    HttpClientError(Kind kind, std::string description) : kind_(kind), description_(std::move(description)) { }

    Kind kind_;
    std::string description_;
    std::optional<DomainError> underlying_;
    std::optional<int> responseCode_;
    std::optional<TransportError> transport_;
};

} // namespace platform
