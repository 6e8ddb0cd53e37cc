#pragma once

#include "platform/foundation/Clock.h"
#include "platform/oidc/OidcConfiguration.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <optional>
#include <string>

namespace platform {

// One set of tokens from the provider, with the configuration that obtained
// it so that it can be refreshed after a restart.
struct Token {
    // Stays the same across refreshes; the key of its stored credential.
    std::string id;
    std::string tokenType;
    std::string accessToken;
    std::optional<std::string> refreshToken;
    // The raw JWT.
    std::optional<std::string> idToken;
    std::string scope;
    // In the provider's time (see ProviderClock).
    std::optional<WallClockTime> issuedAt;
    std::optional<std::chrono::seconds> expiresIn;
    OidcConfiguration configuration;

    std::optional<WallClockTime> expiresAt() const;

    nlohmann::json toJson() const;
    // Throws std::exception when `json` is not a stored token.
    static Token fromJson(const nlohmann::json& json);
};

// True once the token's issue time plus its lifetime has come, by the
// provider-corrected clock; false when it has no issue time or lifetime.
bool isTokenExpired(const Token& token);

} // namespace platform
