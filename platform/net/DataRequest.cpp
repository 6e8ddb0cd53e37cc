#include "platform/net/DataRequest.h"

#include "platform/net/JsonParsing.h"

namespace platform {

std::string describeDecodingFailure(const std::exception& error)
{
    return error.what();
}

DataRequest& DataRequest::validateStatus()
{
    addValidation(StatusValidation {});
    return *this;
}

DataRequest& DataRequest::validateStatus(int first, int last)
{
    addValidation(StatusValidation { first, last, false });
    return *this;
}

DataRequest& DataRequest::curlDescription(std::function<void(const std::string&)> handler)
{
    setCurlHandler(std::move(handler));
    return *this;
}

void DataRequest::onRawResponse(const DispatchQueue& queue, std::function<void(const RawResponse&)> completion)
{
    start(queue, nullptr, [completion = std::move(completion)](RawResponse raw) { completion(raw); });
}

std::variant<std::string, HttpClientError> DataRequest::bodyOf(const RawResponse& raw)
{
    if (raw.data && !raw.data->empty())
        return *raw.data;
    bool emptyAllowed = (raw.response && (raw.response->statusCode == 204 || raw.response->statusCode == 205))
        || (raw.request && raw.request->method == HttpMethod::head());
    if (emptyAllowed)
        return std::string();
    return HttpClientError::decodingFailed("the response body was empty");
}

std::variant<nlohmann::json, HttpClientError> DataRequest::parseJsonBody(const RawResponse& raw)
{
    auto body = bodyOf(raw);
    if (auto* error = std::get_if<HttpClientError>(&body))
        return *error;
    const auto& text = std::get<std::string>(body);
    if (text.empty())
        return nlohmann::json(nullptr);
    try {
        // The parser rejects ill-formed UTF-8 as well as bad JSON.
        return parseJson(text);
    } catch (const nlohmann::json::exception& error) {
        return HttpClientError::decodingFailed(error.what());
    }
}

void DataRequest::onDataResponse(const DispatchQueue& queue, std::function<void(const DataResponse<std::string>&)> completion)
{
    startProducing<std::string>(queue, std::move(completion), &bodyOf);
}

void DataRequest::onJSONResponse(const DispatchQueue& queue, std::function<void(const DataResponse<nlohmann::json>&)> completion)
{
    startProducing<nlohmann::json>(queue, std::move(completion), &parseJsonBody);
}

} // namespace platform
