#pragma once

#include "platform/net/Request.h"

#include <nlohmann/json.hpp>

#include <exception>
#include <optional>
#include <functional>
#include <memory>
#include <variant>

namespace platform {

// Turns a JSON value into a record; throws (any std::exception) when it does not fit.
template<typename T>
using JsonDecoder = std::function<T(const nlohmann::json&)>;

// The default decoder: nlohmann's `from_json` for T.
template<typename T>
T decodeWithFromJson(const nlohmann::json& json) { return json.template get<T>(); }

// The text of a record decoder's failure, as the decoding error carries it.
std::string describeDecodingFailure(const std::exception& error);

// A request whose body is kept in memory.
class DataRequest final : public Request {
public:
    DataRequest(std::shared_ptr<SessionCore> core, HttpRequest initial, std::optional<HttpClientError> encodingError)
        : Request(std::move(core), std::move(initial), std::move(encodingError), std::nullopt) { }

    // Fails the answer unless its status is 200 to 299 and, when the request
    // has an "Accept" header and the body is not empty, its content type is
    // one that header accepts.
    DataRequest& validateStatus();
    // Fails the answer unless its status is within `first` to `last`, both included.
    DataRequest& validateStatus(int first, int last);

    // Hands the request as a command line, its credentials masked, to
    // `handler` each time it is sent.
    DataRequest& curlDescription(std::function<void(const std::string&)> handler);

    // Completion on `queue` with the last attempt, without decoding.
    void onRawResponse(const DispatchQueue& queue, std::function<void(const RawResponse&)> completion);
    // The body; an empty body only for status 204 or 205 or a HEAD request.
    void onDataResponse(const DispatchQueue& queue, std::function<void(const DataResponse<std::string>&)> completion);
    // The body parsed as JSON, any top-level value allowed (null for an allowed empty body).
    void onJSONResponse(const DispatchQueue& queue, std::function<void(const DataResponse<nlohmann::json>&)> completion);

    // The body parsed as JSON and decoded into T by `decoder`, on the session's queue.
    template<typename T>
    void onDecodedResponse(const DispatchQueue& queue, std::function<void(const DataResponse<T>&)> completion,
        JsonDecoder<T> decoder = &decodeWithFromJson<T>)
    {
        startProducing<T>(queue, std::move(completion), [decoder = std::move(decoder)](const RawResponse& raw) -> std::variant<T, HttpClientError> {
            auto json = parseJsonBody(raw);
            if (auto* error = std::get_if<HttpClientError>(&json))
                return std::move(*error);
            try {
                return decoder(std::get<nlohmann::json>(json));
            } catch (const std::exception& error) {
                return HttpClientError::decodingFailed(describeDecodingFailure(error));
            }
        });
    }

    // The body checked as for onDataResponse.
    static std::variant<std::string, HttpClientError> bodyOf(const RawResponse& raw);
    // The body parsed as JSON; bad UTF-8, bad JSON or JSON nested deeper than
    // kMaxJsonNesting is a decoding failure.
    static std::variant<nlohmann::json, HttpClientError> parseJsonBody(const RawResponse& raw);

private:
    // Sends the request; `produce` turns a validated answer into the value or
    // the error, on the session's queue, and the value is moved, not copied,
    // on to `completion`.
    template<typename T>
    void startProducing(const DispatchQueue& queue, std::function<void(const DataResponse<T>&)> completion,
        std::function<std::variant<T, HttpClientError>(const RawResponse&)> produce)
    {
        auto value = std::make_shared<std::optional<T>>();
        start(
            queue,
            [value, produce = std::move(produce)](const RawResponse& raw) -> std::optional<HttpClientError> {
                auto produced = produce(raw);
                if (auto* error = std::get_if<HttpClientError>(&produced))
                    return std::move(*error);
                value->emplace(std::get<T>(std::move(produced)));
                return std::nullopt;
            },
            [value, completion = std::move(completion)](RawResponse raw) {
                HttpResult<T> result = raw.error ? HttpResult<T>(*raw.error) : HttpResult<T>(std::move(**value));
                completion(DataResponse<T> { std::move(raw.request), std::move(raw.response), std::move(raw.data), std::move(result) });
            });
    }
};

} // namespace platform
