#pragma once

#include "devstack/identity/IdentityUser.h"
#include "devstack/identity/TokenSigner.h"
#include "devstack/server/HttpsService.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace devstack {

inline constexpr const char* identityDefaultClientId = "0oa1brantwicktolven1";
inline constexpr const char* identityDefaultRedirectUri = "com.brantwick.tolven:/callback";

struct IdentityProviderOptions {
    // A public client (no secret), like the application's registration.
    std::string clientId = identityDefaultClientId;
    // Where sign-in may send the browser back to.
    std::vector<std::string> redirectUris { identityDefaultRedirectUri };
    // Where the logout page may send the browser back to; empty: anywhere.
    std::vector<std::string> postLogoutRedirectUris;
    std::chrono::seconds tokenLifetime { 3600 };
    std::vector<IdentityUser> users = seededIdentityUsers();
    // The provider's own "now": the real clock, as an outside service's.
    std::function<std::chrono::system_clock::time_point()> now = [] { return std::chrono::system_clock::now(); };
};

// A local OpenID Connect provider shaped like the company's: discovery under
// the issuer (the service's own address), the authorization-code grant with
// PKCE (S256 only) behind an HTML sign-in form, refresh tokens, revocation,
// signed ID tokens (RS256) carrying "email", the signing keys, and the logout
// page. Tokens and codes live in memory; its clock is the real one, as an
// outside service's would be.
class IdentityProvider final : public HttpsService {
public:
    using Options = IdentityProviderOptions;
    static constexpr const char* defaultClientId = identityDefaultClientId;
    static constexpr const char* defaultRedirectUri = identityDefaultRedirectUri;
    static constexpr const char* notAssignedDescription = "User is not assigned to the client application.";

    explicit IdentityProvider(Options options = Options());
    ~IdentityProvider() override;

    // The issuer: the service's address, e.g. "https://127.0.0.1:8443".
    std::string issuer() const { return baseUrl(); }
    const TokenSigner& signer() const { return signer_; }

    void setTokenLifetime(std::chrono::seconds lifetime);
    // Whether a refresh token would still be honoured.
    bool isRefreshTokenActive(const std::string& refreshToken) const;

protected:
    void installRoutes(httplib::Server& server) override;

private:
    struct PendingSignIn {
        std::map<std::string, std::string> parameters;
    };
    struct IssuedCode {
        std::string username;
        std::string redirectUri;
        std::string codeChallenge;
        std::string nonce;
        std::string scope;
        std::chrono::system_clock::time_point expiry;
    };
    struct RefreshGrant {
        std::string username;
        std::string scope;
    };

    void discovery(const httplib::Request& request, httplib::Response& response) const;
    void authorize(const httplib::Request& request, httplib::Response& response);
    void signIn(const httplib::Request& request, httplib::Response& response);
    void token(const httplib::Request& request, httplib::Response& response);
    void revoke(const httplib::Request& request, httplib::Response& response);
    void logout(const httplib::Request& request, httplib::Response& response) const;

    void answerTokens(httplib::Response& response, const IdentityUser& user, const std::string& scope,
        const std::optional<std::string>& nonce, const std::optional<std::string>& refreshToken);
    void oauthError(httplib::Response& response, int status, const std::string& error, const std::string& description) const;
    const IdentityUser* userNamed(const std::string& username) const;

    const Options options_;
    TokenSigner signer_;
    mutable std::mutex mutex_;
    std::chrono::seconds tokenLifetime_;
    std::map<std::string, PendingSignIn> pendingSignIns_;
    std::map<std::string, IssuedCode> codes_;
    std::map<std::string, RefreshGrant> refreshTokens_;
};

} // namespace devstack
