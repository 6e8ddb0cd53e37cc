#pragma once

#include "TOLVEN/signin/records/DecodingError.h"
#include "TOLVEN/signin/records/JsonFields.h"
#include "TOLVEN/signin/records/UserItem.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolven {

// How one element of a backend list is decoded; throws DecodingError.
template<typename Element>
struct ElementDecoder;

template<>
struct ElementDecoder<std::string> {
    static std::string decode(const nlohmann::json& json, const CodingPath& path)
    {
        if (!json.is_string())
            throw DecodingError(DecodingError::Kind::typeMismatch, path, "Expected to decode String but found another type.");
        return json.get<std::string>();
    }
};

template<>
struct ElementDecoder<UserItem> {
    static UserItem decode(const nlohmann::json& json, const CodingPath& path) { return UserItem::decode(json, path); }
};

// The backend's JSON envelope. It never fails on a field: each is absent when
// missing or of the wrong type, and `content` is empty when it is missing,
// not a list, or any one element fails. Only a top-level value that is not an
// object fails.
template<typename Element>
struct APIResponse {
    // The backend's paging block; only whether it was sent counts.
    struct Paging {
        bool operator==(const Paging&) const = default;
    };

    std::optional<std::string> time;
    std::optional<std::string> resultMessage;
    // The backend's own status, not the HTTP status.
    std::optional<std::string> statusCode;
    std::optional<std::string> message;
    std::optional<std::int64_t> contentCnt;
    std::optional<Paging> paging;
    std::vector<Element> content;

    static APIResponse decode(const nlohmann::json& json)
    {
        jsonfields::requireObject(json, {});
        APIResponse response;
        response.time = jsonfields::lenientText(json, "time");
        response.resultMessage = jsonfields::lenientText(json, "resultMessage");
        response.statusCode = jsonfields::lenientText(json, "statusCode");
        response.message = jsonfields::lenientText(json, "message");
        response.contentCnt = jsonfields::lenientInteger(json, "contentCnt");
        if (json.contains("paging"))
            response.paging = Paging {};
        response.content = decodeContent(json);
        return response;
    }

    bool operator==(const APIResponse&) const = default;

private:
    static std::vector<Element> decodeContent(const nlohmann::json& json)
    {
        auto* list = jsonfields::presentValue(json, "content");
        if (!list || !list->is_array())
            return {};
        std::vector<Element> elements;
        elements.reserve(list->size());
        try {
            for (std::size_t index = 0; index < list->size(); ++index)
                elements.push_back(ElementDecoder<Element>::decode((*list)[index], { "content", "Index " + std::to_string(index) }));
        } catch (const DecodingError&) {
            return {};
        }
        return elements;
    }
};

// For the HTTP client's default record decoder.
template<typename Element>
void from_json(const nlohmann::json& json, APIResponse<Element>& response)
{
    response = APIResponse<Element>::decode(json);
}

} // namespace tolven
