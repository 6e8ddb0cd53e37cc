#pragma once

#include "platform/oidc/OidcConfiguration.h"
#include "platform/oidc/OidcResult.h"
#include "platform/oidc/OpenIdConfiguration.h"

#include <map>
#include <optional>
#include <string>

namespace platform {

// One authorization-code request with PKCE (S256): the secrets it sends and
// the checks its callback must pass.
struct AuthorizationRequest {
    std::string state;
    std::string nonce;
    std::string codeVerifier;
    // Base64url of the SHA-256 of the verifier.
    std::string codeChallenge;

    // Fresh values from the secure random source; nothing when it fails.
    static std::optional<AuthorizationRequest> make();

    // The provider's authorization address with every parameter of this request.
    std::string url(const OpenIdConfiguration& provider, const OidcConfiguration& client) const;

    // The authorization code carried by `callbackUrl`, or why there is none: the
    // provider's error (with its description), or a state that is not ours.
    OidcResult<std::string> codeFromCallback(const std::string& callbackUrl) const;
};

// "S256" challenge of `verifier`.
std::string pkceChallenge(const std::string& verifier);

// The query parameters of `url`, percent- and plus-decoded.
std::map<std::string, std::string> queryParameters(const std::string& url);

} // namespace platform
