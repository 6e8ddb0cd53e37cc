#pragma once

#include <string>

namespace platform {

// Every failure of the OpenID Connect client. The description is a readable
// sentence; for the provider's own errors it is the provider's
// "error_description" (or its "error" code when it gave none).
struct OidcError {
    enum class Code {
        // No usable configuration, or the provider's discovery document is unusable.
        invalidConfiguration,
        // The user closed the sign-in page, or it could not be shown.
        cancelled,
        // The provider answered with an OAuth error (for example invalid_grant).
        serverError,
        // The request could not be completed (transport or unexpected status).
        networkError,
        // The provider's answer was not what the protocol allows.
        invalidResponse,
        // The sign-in callback did not belong to the request that was made.
        stateMismatch,
        // The ID token does not belong to this client or this sign-in.
        invalidIdToken,
        // A refresh is due but the token carries no refresh token.
        missingRefreshToken,
        // The keychain refused, or a stored credential cannot be read.
        storageFailed,
    };

    Code code;
    std::string description;
    // The provider's "error" code, for serverError.
    std::string oauthError;

    const std::string& localizedDescription() const { return description; }
};

} // namespace platform
