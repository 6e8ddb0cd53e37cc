#pragma once

#include "TOLVEN/signin/records/StoredImage.h"

#include <optional>
#include <string>
#include <vector>

namespace tolven {

// A card of the employee: the staff ID card or the mobile ID with the photo.
struct CardInfo {
    std::optional<std::string> kind;
    std::optional<std::string> issuedDt;
    std::optional<std::string> expireDt;
    std::optional<std::string> status;
    std::optional<std::vector<StoredImage>> image;

    // Missing or null fields are absent; a value of the wrong type fails the card.
    static CardInfo decode(const nlohmann::json& json, const CodingPath& path = {});

    bool operator==(const CardInfo&) const = default;
};

} // namespace tolven
