#pragma once

#include "platform/net/HttpClientError.h"
#include "platform/net/HttpRequest.h"
#include "platform/net/HttpResponse.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace platform {

// A value or the client's error.
template<typename T>
class HttpResult {
public:
    HttpResult(T value) : storage_(std::in_place_index<0>, std::move(value)) { }
    HttpResult(HttpClientError error) : storage_(std::in_place_index<1>, std::move(error)) { }

    bool isSuccess() const { return storage_.index() == 0; }
    explicit operator bool() const { return isSuccess(); }
    // Only on success.
    const T& value() const { return std::get<0>(storage_); }
    // Only on failure.
    const HttpClientError& error() const { return std::get<1>(storage_); }

private:
    std::variant<T, HttpClientError> storage_;
};

// The last attempt of a request, undecoded.
struct RawResponse {
    // As last sent (after adaptation); absent when it could not be built or adapted.
    std::optional<HttpRequest> request;
    std::optional<HttpResponse> response;
    // The body, when an answer arrived (possibly empty).
    std::optional<std::string> data;
    std::optional<HttpClientError> error;
};

template<typename T>
struct DataResponse {
    std::optional<HttpRequest> request;
    std::optional<HttpResponse> response;
    std::optional<std::string> data;
    HttpResult<T> result;
};

struct DownloadResponse {
    std::optional<HttpRequest> request;
    std::optional<HttpResponse> response;
    // The caller's destination, once the body has been stored there.
    std::optional<std::filesystem::path> fileUrl;
    std::optional<HttpClientError> error;
};

} // namespace platform
