#include "TOLVEN/signin/records/StoredImage.h"

#include "TOLVEN/signin/records/JsonFields.h"

namespace tolven {

using namespace jsonfields;

StoredImage StoredImage::decode(const nlohmann::json& json, const CodingPath& path)
{
    requireObject(json, path);
    StoredImage image;
    auto* fileId = presentValue(json, "fileId");
    if (fileId && fileId->is_string())
        image.fileId = fileId->get<std::string>();
    else if (auto number = fileId ? integerValue(*fileId) : std::nullopt)
        image.fileId = std::to_string(*number);
    else
        throw DecodingError(DecodingError::Kind::typeMismatch, appending(path, "fileId"), "fileId must be String or Int");
    image.filePath = lenientText(json, "filePath");
    image.viewUrl = lenientText(json, "viewUrl");
    image.downloadUrl = lenientText(json, "downloadUrl");
    image.size = lenientInteger(json, "size");
    image.originalFileName = lenientText(json, "originalFileName");
    return image;
}

} // namespace tolven
