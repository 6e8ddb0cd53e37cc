#pragma once

#include "TOLVEN/signin/records/DecodingError.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace tolven {

// The gateway's answer to a token exchange. Decoded only.
struct ApigeeTokenDTO {
    std::string token_type;
    std::string access_token;
    std::optional<std::string> refresh_token;
    // Seconds.
    std::int64_t expires_in = 0;
    std::optional<std::int64_t> refresh_token_expires_in;

    // Throws DecodingError.
    static ApigeeTokenDTO decode(const nlohmann::json& json);

    // The value under `key` as a JSON integer, or as a JSON string of an
    // optional sign and digits only. Throws a type mismatch otherwise.
    static std::int64_t decodeFlexibleInt(const nlohmann::json& object, const std::string& key);

    bool operator==(const ApigeeTokenDTO&) const = default;
};

} // namespace tolven
