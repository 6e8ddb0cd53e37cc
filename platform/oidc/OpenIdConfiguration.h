#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace platform {

// The provider's discovery document, as far as this client uses it.
struct OpenIdConfiguration {
    std::string issuer;
    std::string authorizationEndpoint;
    std::string tokenEndpoint;
    std::string endSessionEndpoint;
    std::string revocationEndpoint;

    // Nothing unless the document names `expectedIssuer` and HTTPS
    // authorization and token endpoints.
    static std::optional<OpenIdConfiguration> fromJson(const nlohmann::json& json, const std::string& expectedIssuer);
};

} // namespace platform
