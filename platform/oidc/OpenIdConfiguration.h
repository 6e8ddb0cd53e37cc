#pragma once

#include "platform/oidc/OidcResult.h"

#include <nlohmann/json.hpp>

#include <string>

namespace platform {

// The provider's discovery document, as far as this client uses it.
struct OpenIdConfiguration {
    std::string issuer;
    std::string authorizationEndpoint;
    std::string tokenEndpoint;
    std::string endSessionEndpoint;
    std::string revocationEndpoint;

    // The document when it names exactly `expectedIssuer` (as configured,
    // a trailing slash included) and HTTPS authorization and token
    // endpoints; otherwise an invalidConfiguration error that says which
    // check failed.
    static OidcResult<OpenIdConfiguration> fromJson(const nlohmann::json& json, const std::string& expectedIssuer);

    // Where the discovery document of `issuer` lies: the issuer without a
    // trailing slash, then "/.well-known/openid-configuration".
    static std::string discoveryUrl(const std::string& issuer);
};

} // namespace platform
