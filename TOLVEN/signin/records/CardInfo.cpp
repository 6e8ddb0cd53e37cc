#include "TOLVEN/signin/records/CardInfo.h"

#include "TOLVEN/signin/records/JsonFields.h"

namespace tolven {

using namespace jsonfields;

CardInfo CardInfo::decode(const nlohmann::json& json, const CodingPath& path)
{
    requireObject(json, path);
    CardInfo card;
    card.kind = strictText(json, "kind", path);
    card.issuedDt = strictText(json, "issuedDt", path);
    card.expireDt = strictText(json, "expireDt", path);
    card.status = strictText(json, "status", path);
    if (auto* images = presentValue(json, "image")) {
        auto imagePath = appending(path, "image");
        if (!images->is_array())
            throw DecodingError(DecodingError::Kind::typeMismatch, imagePath, "Expected to decode Array<Any> but found another type.");
        card.image.emplace();
        for (std::size_t index = 0; index < images->size(); ++index)
            card.image->push_back(StoredImage::decode((*images)[index], appending(imagePath, "Index " + std::to_string(index))));
    }
    return card;
}

} // namespace tolven
