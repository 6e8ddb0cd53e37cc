#pragma once

#include "platform/foundation/DispatchQueue.h"
#include "platform/oidc/OidcConfiguration.h"
#include "platform/oidc/OidcResult.h"
#include "platform/oidc/OpenIdConfiguration.h"
#include "platform/oidc/Token.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

class HttpSession;

// Talks to one provider's discovery and token endpoints for one client
// registration, over the HTTP client's default session. Every completion runs
// once, on queue().
class OAuth2Client : public std::enable_shared_from_this<OAuth2Client> {
public:
    template<typename T>
    using Completion = std::function<void(const OidcResult<T>&)>;

    // One client per configuration for the whole process, so that the
    // discovery document is fetched once.
    static std::shared_ptr<OAuth2Client> forConfiguration(const OidcConfiguration& configuration);

    explicit OAuth2Client(OidcConfiguration configuration);

    const OidcConfiguration& configuration() const { return configuration_; }

    // The queue the client delivers its results on.
    static const DispatchQueue& queue();

    // The discovery document, fetched on first use and then kept.
    void openIdConfiguration(Completion<OpenIdConfiguration> completion);

    // The authorization-code grant with its PKCE verifier. The ID token must
    // carry `expectedNonce`. The token gets a new identifier.
    void exchangeAuthorizationCode(const std::string& code, const std::string& codeVerifier,
        const std::string& expectedNonce, Completion<Token> completion);

    // New tokens for `token`'s refresh token, asking for `token`'s granted
    // scope; the result keeps `token`'s identifier, and its refresh token and
    // ID token when the provider sends none. An answer without a lifetime
    // gives a token of unknown lifetime, which never counts as expired.
    void refresh(const Token& token, Completion<Token> completion);

    // A new token (with a new identifier) from a refresh token alone, asking
    // for no scope: the provider keeps the one it granted.
    void restoreTokenFromRefreshToken(const std::string& refreshToken, Completion<Token> completion);

private:
    struct Grant;
    void requestToken(Grant grant, Completion<Token> completion);
    OidcResult<Token> tokenFromAnswer(const nlohmann::json& answer, const Grant& grant) const;

    const OidcConfiguration configuration_;
    std::mutex mutex_;
    std::optional<OpenIdConfiguration> discovered_;
};

} // namespace platform
