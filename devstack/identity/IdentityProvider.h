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
    // Each refresh replaces the refresh token; a second use of a replaced
    // one revokes the whole grant, as providers do for public clients.
    bool rotateRefreshTokens = true;
    // A sign-in page left unanswered this long is forgotten, and at most
    // this many are kept (the oldest goes first).
    std::chrono::seconds pendingSignInLifetime { 600 };
    std::size_t maximumPendingSignIns = 1000;
    // The provider's own "now": the platform clock, so that a test's virtual
    // time reaches the provider as it reaches the application.
    std::function<std::chrono::system_clock::time_point()> now;
};

// What a refresh answer carries besides the access token: real providers
// may leave out the ID token (it is only required at sign-in) and the
// lifetime (only recommended).
struct RefreshAnswerShape {
    bool includesIdToken = true;
    bool includesLifetime = true;
};

// A local OpenID Connect provider shaped like the company's: discovery under
// the issuer (the service's own address), the authorization-code grant with
// PKCE (S256 only) behind an HTML sign-in form, rotating refresh tokens whose
// reuse revokes the grant and whose scope cannot grow, revocation, signed ID
// tokens (RS256) carrying "email", the signing keys, and the logout page.
// Tokens and codes live in memory; its clock is the platform clock.
class IdentityProvider final : public HttpsService {
public:
    using Options = IdentityProviderOptions;
    static constexpr const char* defaultClientId = identityDefaultClientId;
    static constexpr const char* defaultRedirectUri = identityDefaultRedirectUri;
    static constexpr const char* notAssignedDescription = "User is not assigned to the client application.";

    explicit IdentityProvider(Options options = Options());
    ~IdentityProvider() override;

    // The provider goes by a host name, not an address: the application
    // uses that name as the scheme of the address it returns to after logout.
    static constexpr const char* hostName = "localhost";
    // "localhost:<port>".
    std::string hostAndPort() const { return std::string(hostName) + ":" + std::to_string(port()); }
    std::string baseUrl() const override { return "https://" + hostAndPort(); }
    // The issuer: the service's address, e.g. "https://localhost:8443".
    std::string issuer() const { return baseUrl(); }
    const TokenSigner& signer() const { return signer_; }
    // Who can sign in.
    const std::vector<IdentityUser>& users() const { return options_.users; }

    void setTokenLifetime(std::chrono::seconds lifetime);
    void setRefreshAnswerShape(RefreshAnswerShape shape);
    // Whether a refresh token would still be honoured.
    bool isRefreshTokenActive(const std::string& refreshToken) const;

protected:
    void installRoutes(httplib::Server& server) override;

private:
    struct PendingSignIn {
        std::map<std::string, std::string> parameters;
        std::chrono::system_clock::time_point expiry;
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
        // Shared by every refresh token of one sign-in.
        std::string grantId;
        // Replaced by a newer token: its next use is a reuse.
        bool consumed = false;
    };

    void discovery(const httplib::Request& request, httplib::Response& response) const;
    void authorize(const httplib::Request& request, httplib::Response& response);
    void signIn(const httplib::Request& request, httplib::Response& response);
    void token(const httplib::Request& request, httplib::Response& response);
    void revoke(const httplib::Request& request, httplib::Response& response);
    void logout(const httplib::Request& request, httplib::Response& response) const;

    void refresh(const httplib::Request& request, httplib::Response& response);
    void answerTokens(httplib::Response& response, const IdentityUser& user, const std::string& scope,
        const std::optional<std::string>& nonce, const std::optional<std::string>& refreshToken, RefreshAnswerShape shape = {});
    std::string issueRefreshTokenLocked(const std::string& username, const std::string& scope, const std::string& grantId);
    void forgetStaleSignInsLocked(std::chrono::system_clock::time_point now);
    std::chrono::system_clock::time_point now() const;
    void oauthError(httplib::Response& response, int status, const std::string& error, const std::string& description) const;
    const IdentityUser* userNamed(const std::string& username) const;

    const Options options_;
    TokenSigner signer_;
    mutable std::mutex mutex_;
    std::chrono::seconds tokenLifetime_;
    RefreshAnswerShape refreshAnswerShape_;
    std::map<std::string, PendingSignIn> pendingSignIns_;
    std::map<std::string, IssuedCode> codes_;
    std::map<std::string, RefreshGrant> refreshTokens_;
};

} // namespace devstack
