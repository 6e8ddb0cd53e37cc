#pragma once

#include "TOLVEN/signin/records/DecodingError.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace tolven {

// A file the backend keeps (the profile photo). Decoded only.
struct StoredImage {
    // A JSON string, or an integer taken as its decimal text.
    std::string fileId;
    std::optional<std::string> filePath;
    std::optional<std::string> viewUrl;
    std::optional<std::string> downloadUrl;
    std::optional<std::int64_t> size;
    std::optional<std::string> originalFileName;

    // Only a missing or unusable "fileId" fails; the other fields fall back to absent.
    static StoredImage decode(const nlohmann::json& json, const CodingPath& path = {});

    bool operator==(const StoredImage&) const = default;
};

} // namespace tolven
