#pragma once

#include "TOLVEN/signin/records/APIResponse.h"

#include <map>

namespace tolven {

// A strict form of the backend's envelope: every field, `content` included,
// is taken only when present, and a present value of the wrong type fails
// the whole envelope.
template<typename Element>
struct BWResponse {
    std::optional<std::string> time;
    std::optional<std::string> resultMessage;
    std::optional<std::string> statusCode;
    std::optional<std::string> message;
    std::optional<std::int64_t> contentCnt;
    std::optional<std::map<std::string, std::string>> paging;
    std::optional<std::vector<Element>> content;

    static BWResponse decode(const nlohmann::json& json)
    {
        using namespace jsonfields;
        requireObject(json, {});
        BWResponse response;
        response.time = strictText(json, "time", {});
        response.resultMessage = strictText(json, "resultMessage", {});
        response.statusCode = strictText(json, "statusCode", {});
        response.message = strictText(json, "message", {});
        response.contentCnt = strictInteger(json, "contentCnt", {});
        if (auto* paging = presentValue(json, "paging")) {
            requireObject(*paging, { "paging" });
            response.paging.emplace();
            for (const auto& [key, value] : paging->items()) {
                if (!value.is_string())
                    throw DecodingError(DecodingError::Kind::typeMismatch, { "paging", key }, "Expected to decode String but found another type.");
                response.paging->emplace(key, value.template get<std::string>());
            }
        }
        if (auto* list = presentValue(json, "content")) {
            if (!list->is_array())
                throw DecodingError(DecodingError::Kind::typeMismatch, { "content" }, "Expected to decode Array<Any> but found another type.");
            response.content.emplace();
            for (std::size_t index = 0; index < list->size(); ++index)
                response.content->push_back(ElementDecoder<Element>::decode((*list)[index], { "content", "Index " + std::to_string(index) }));
        }
        return response;
    }

    bool operator==(const BWResponse&) const = default;
};

template<typename Element>
void from_json(const nlohmann::json& json, BWResponse<Element>& response)
{
    response = BWResponse<Element>::decode(json);
}

} // namespace tolven
