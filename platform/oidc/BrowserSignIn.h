#pragma once

#include "platform/oidc/OAuth2Client.h"
#include "platform/oidc/OidcConfiguration.h"
#include "platform/oidc/OidcResult.h"
#include "platform/oidc/Token.h"

#include <functional>
#include <list>
#include <memory>
#include <mutex>

namespace platform {

class WebAuthenticationSession;

// The interactive sign-in: the provider's page in a web-authentication
// session, then the authorization code exchanged for tokens (PKCE, state and
// nonce checked).
class BrowserSignIn {
public:
    using Completion = std::function<void(const OidcResult<Token>&)>;

    explicit BrowserSignIn(OidcConfiguration configuration);
    ~BrowserSignIn();
    BrowserSignIn(const BrowserSignIn&) = delete;
    BrowserSignIn& operator=(const BrowserSignIn&) = delete;

    const OidcConfiguration& configuration() const { return client_->configuration(); }
    // The OAuth client, also for restoreTokenFromRefreshToken.
    OAuth2Client& client() { return *client_; }

    // Shows the sign-in page and completes once, on the main queue, with the
    // new token or why there is none (the user closing the page included).
    // Call it on the main queue.
    void browserSignIn(Completion completion);

private:
    void finish(WebAuthenticationSession* session);

    std::shared_ptr<OAuth2Client> client_;
    // Sessions whose page is showing; each is released once it completed.
    std::list<std::unique_ptr<WebAuthenticationSession>> sessions_;
    std::shared_ptr<bool> alive_;
};

// The shared sign-in of the main bundle's "Okta" property list, made on first
// use; nullptr when the bundle holds no usable configuration. Made again only
// when the main bundle moves (tests give each case a bundle of its own).
BrowserSignIn* sharedBrowserSignIn();

} // namespace platform
