#pragma once

#include "devstack/identity/IdentityProvider.h"
#include "devstack/server/testing/RunningService.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/oidc/BrowserSignIn.h"
#include "platform/oidc/ProviderClock.h"
#include "platform/testing/Seams.h"
#include "platform/web/WebAuthenticationSession.h"
#include "platform/web/headless/HeadlessWebAuthenticationSession.h"

#include <gtest/gtest.h>

namespace platform::testing {

// A local identity provider, a client configured for it, and a headless
// browser that signs the chosen user in.
class OidcFixture : public ::testing::Test {
protected:
    OidcFixture()
    {
        resetProviderClockForTesting();
        signInAs("kim.minsu@brantwick.com");
    }
    ~OidcFixture() override
    {
        WebAuthenticationSession::setFactory({});
        resetProviderClockForTesting();
    }

    OidcConfiguration configuration() const
    {
        return { provider.url(), devstack::IdentityProvider::defaultClientId, "openid profile email offline_access",
            devstack::IdentityProvider::defaultRedirectUri, "com.brantwick.tolven:/logout" };
    }

    void signInAs(const std::string& username, const std::string& password = "Tolven!2024")
    {
        WebAuthenticationSession::setFactory(HeadlessWebAuthenticationSession::factory({ username, password }));
    }

    // Runs the browser sign-in to its end.
    OidcResult<Token> browserSignIn(BrowserSignIn& signIn)
    {
        std::optional<OidcResult<Token>> result;
        signIn.browserSignIn([&](const OidcResult<Token>& outcome) {
            EXPECT_TRUE(scheduler().isMainThread());
            result = outcome;
        });
        EXPECT_TRUE(env.runUntil([&] { return result.has_value(); }));
        return result ? *result : OidcResult<Token>(OidcError { OidcError::Code::cancelled, "timed out", {} });
    }

    Token signedInToken() { return signedInToken(configuration()); }
    Token signedInToken(const OidcConfiguration& client)
    {
        BrowserSignIn signIn(client);
        auto result = browserSignIn(signIn);
        if (!result) {
            ADD_FAILURE() << result.error().description;
            return {};
        }
        return result.value();
    }

    std::size_t tokenRequests() { return provider.requestLog().forPath("/oauth2/v1/token").size(); }

    // A new token from `refreshToken` alone, as the sign-in screen restores one.
    OidcResult<Token> restore(const std::string& refreshToken, const OidcConfiguration& client)
    {
        std::optional<OidcResult<Token>> result;
        OAuth2Client::forConfiguration(client)->restoreTokenFromRefreshToken(refreshToken, [&](const OidcResult<Token>& outcome) { result = outcome; });
        EXPECT_TRUE(env.runUntil([&] { return result.has_value(); }));
        return result ? *result : OidcResult<Token>(OidcError { OidcError::Code::cancelled, "timed out", {} });
    }
    OidcResult<Token> restore(const std::string& refreshToken) { return restore(refreshToken, configuration()); }

    TestEnvironment env;
    devstack::testing::RunningService<devstack::IdentityProvider> provider;
};

} // namespace platform::testing
