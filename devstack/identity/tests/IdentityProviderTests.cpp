#include "devstack/identity/IdentityProvider.h"

#include "devstack/server/testing/RunningService.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/net/CertificateAuthorities.h"
#include "platform/net/ParameterEncoding.h"
#include "platform/web/headless/HeadlessWebAuthenticationSession.h"

#include <gtest/gtest.h>


using devstack::IdentityProvider;

namespace {

// The hidden transaction field of the sign-in form.
std::string transactionOf(const std::string& page)
{
    const std::string marker = "name=\"transaction\" value=\"";
    auto start = page.find(marker);
    if (start == std::string::npos)
        return {};
    start += marker.size();
    return page.substr(start, page.find('"', start) - start);
}

class IdentityProviderTest : public ::testing::Test {
protected:
    // A plain client that, unlike a browser, shows every redirect.
    httplib::Client client()
    {
        httplib::Client client(provider.url());
        client.set_ca_cert_path(platform::extraCertificateAuthorityFile()->string());
        client.enable_server_certificate_verification(true);
        client.set_follow_location(false);
        return client;
    }

    std::string authorizePath(const std::string& redirectUri = IdentityProvider::defaultRedirectUri,
        const std::string& challenge = "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM")
    {
        return "/oauth2/v1/authorize?client_id=" + std::string(IdentityProvider::defaultClientId)
            + "&response_type=code&scope=openid%20email%20offline_access&state=S1&nonce=N1&redirect_uri="
            + httplib::detail::encode_query_param(redirectUri) + "&code_challenge_method=S256&code_challenge=" + challenge;
    }

    // Signs `username` in through the form and returns the redirect it ends with.
    std::string signIn(const std::string& username, const std::string& password = "Tolven!2024")
    {
        auto http = client();
        auto form = http.Get(authorizePath());
        EXPECT_EQ(form->status, 200);
        auto transaction = transactionOf(form->body);
        EXPECT_FALSE(transaction.empty());
        auto answer = http.Post("/oauth2/v1/authorize/signin",
            httplib::Params { { "transaction", transaction }, { "username", username }, { "password", password } });
        return answer->status == 302 ? answer->get_header_value("Location") : "HTTP " + std::to_string(answer->status);
    }

    // The token answer of a completed sign-in of `username`.
    nlohmann::json tokensFor(const std::string& username = "kim.minsu@brantwick.com")
    {
        const std::string verifier = "kim-minsu-verifier-0123456789-abcdefghijklmnopq";
        auto http = client();
        auto form = http.Get(authorizePath(IdentityProvider::defaultRedirectUri, devstack::TokenSigner::base64Url(devstack::TokenSigner::sha256(verifier))));
        auto transaction = transactionOf(form->body);
        auto answer = http.Post("/oauth2/v1/authorize/signin",
            httplib::Params { { "transaction", transaction }, { "username", username }, { "password", "Tolven!2024" } });
        auto location = answer->get_header_value("Location");
        auto code = location.substr(location.find("code=") + 5);
        code = code.substr(0, code.find('&'));
        return post({ { "grant_type", "authorization_code" }, { "code", code }, { "code_verifier", verifier },
            { "redirect_uri", IdentityProvider::defaultRedirectUri } });
    }

    // The provider's JSON answer to a token request from the application's client.
    nlohmann::json post(httplib::Params parameters)
    {
        parameters.emplace("client_id", IdentityProvider::defaultClientId);
        auto answer = client().Post("/oauth2/v1/token", parameters);
        return answer ? nlohmann::json::parse(answer->body, nullptr, false) : nlohmann::json();
    }

    nlohmann::json refresh(const std::string& refreshToken, std::optional<std::string> scope = std::nullopt)
    {
        httplib::Params parameters { { "grant_type", "refresh_token" }, { "refresh_token", refreshToken } };
        if (scope)
            parameters.emplace("scope", *scope);
        return post(parameters);
    }

    platform::TestEnvironment env;
    devstack::testing::RunningService<IdentityProvider> provider;
};

} // namespace

TEST_F(IdentityProviderTest, DiscoveryNamesTheOktaStylePathsUnderTheIssuer)
{
    auto answer = client().Get("/.well-known/openid-configuration");
    ASSERT_EQ(answer->status, 200);
    auto document = nlohmann::json::parse(answer->body);
    EXPECT_EQ(document["issuer"], provider.url());
    EXPECT_EQ(document["authorization_endpoint"], provider.url("/oauth2/v1/authorize"));
    EXPECT_EQ(document["token_endpoint"], provider.url("/oauth2/v1/token"));
    EXPECT_EQ(document["jwks_uri"], provider.url("/oauth2/v1/keys"));
    EXPECT_EQ(document["revocation_endpoint"], provider.url("/oauth2/v1/revoke"));
    EXPECT_EQ(document["end_session_endpoint"], provider.url("/oauth2/v1/logout"));

    auto keys = nlohmann::json::parse(client().Get("/oauth2/v1/keys")->body);
    EXPECT_EQ(keys["keys"][0]["kty"], "RSA");
    EXPECT_EQ(keys["keys"][0]["kid"], provider->signer().keyId());
}

TEST_F(IdentityProviderTest, AuthorizationRequestsThatCannotBeHonoured)
{
    // An unregistered address never receives a redirect.
    auto unregistered = client().Get(authorizePath("evil.example:/callback"));
    EXPECT_EQ(unregistered->status, 400);
    EXPECT_FALSE(unregistered->has_header("Location"));

    auto withoutPkce = client().Get(authorizePath(IdentityProvider::defaultRedirectUri, ""));
    ASSERT_EQ(withoutPkce->status, 302);
    EXPECT_NE(withoutPkce->get_header_value("Location").find("error=invalid_request"), std::string::npos);
}

TEST_F(IdentityProviderTest, SignInOutcomesByUser)
{
    EXPECT_TRUE(signIn("kim.minsu@brantwick.com").starts_with("com.brantwick.tolven:/callback?code="));
    EXPECT_EQ(signIn("kim.minsu@brantwick.com", "wrong"), "HTTP 200"); // the form again
    // httplib's client hands Location back percent-decoded.
    EXPECT_EQ(signIn("park.unassigned@brantwick.com"),
        "com.brantwick.tolven:/callback?error=access_denied&error_description=User is not assigned to the client application.&state=S1");
}

TEST_F(IdentityProviderTest, LogoutChecksItsHintAndReturnsToTheApplication)
{
    auto http = client();
    auto bad = http.Get("/oauth2/v1/logout?id_token_hint=a.b.c&post_logout_redirect_uri=app%3A%2Flogout");
    EXPECT_EQ(bad->status, 400);

    auto good = http.Get("/oauth2/v1/logout?post_logout_redirect_uri=app%3A%2Flogout&id_token_hint="
        + provider->signer().sign({ { "iss", provider.url() } }));
    ASSERT_EQ(good->status, 302);
    EXPECT_EQ(good->get_header_value("Location"), "app:/logout");
}

TEST_F(IdentityProviderTest, TokenAndRevocationRefuseOtherClients)
{
    auto http = client();
    auto token = http.Post("/oauth2/v1/token", httplib::Params { { "grant_type", "refresh_token" }, { "refresh_token", "x" }, { "client_id", "someone" } });
    EXPECT_EQ(token->status, 401);
    EXPECT_EQ(nlohmann::json::parse(token->body)["error"], "invalid_client");
    auto revoke = http.Post("/oauth2/v1/revoke", httplib::Params { { "token", "x" }, { "client_id", "someone" } });
    EXPECT_EQ(revoke->status, 401);
    auto unknownGrant = http.Post("/oauth2/v1/token",
        httplib::Params { { "grant_type", "password" }, { "client_id", IdentityProvider::defaultClientId } });
    EXPECT_EQ(nlohmann::json::parse(unknownGrant->body)["error"], "unsupported_grant_type");
}

TEST_F(IdentityProviderTest, RefreshTokensRotateAndAReusedOneRevokesTheGrant)
{
    auto first = tokensFor();
    auto original = first["refresh_token"].get<std::string>();
    auto second = refresh(original);
    ASSERT_TRUE(second.contains("refresh_token")) << second.dump();
    auto rotated = second["refresh_token"].get<std::string>();
    EXPECT_NE(rotated, original);
    EXPECT_FALSE(provider->isRefreshTokenActive(original));
    EXPECT_TRUE(provider->isRefreshTokenActive(rotated));

    // The replaced token comes back: refused, and the newer one dies with it.
    EXPECT_EQ(refresh(original)["error"], "invalid_grant");
    EXPECT_FALSE(provider->isRefreshTokenActive(rotated));
    EXPECT_EQ(refresh(rotated)["error"], "invalid_grant");

    // Another sign-in's grant is not touched.
    auto other = tokensFor()["refresh_token"].get<std::string>();
    EXPECT_TRUE(refresh(other).contains("access_token"));
}

TEST_F(IdentityProviderTest, ARefreshMayNarrowTheScopeButNotWidenIt)
{
    struct Case {
        std::optional<std::string> scope;
        std::string answeredScope; // empty: refused with invalid_scope
    };
    const Case cases[] = {
        { std::nullopt, "openid email offline_access" },
        { "openid email offline_access", "openid email offline_access" },
        { "openid offline_access", "openid offline_access" },
        { "openid profile email offline_access", "" },
        { "openid admin", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scope.value_or("(none)"));
        auto answer = refresh(tokensFor()["refresh_token"], c.scope);
        if (c.answeredScope.empty()) {
            EXPECT_EQ(answer["error"], "invalid_scope");
        } else {
            EXPECT_EQ(answer["scope"], c.answeredScope) << answer.dump();
        }
    }
}

TEST_F(IdentityProviderTest, RefreshAnswersCanLeaveOutTheIdTokenAndTheLifetime)
{
    auto signedIn = tokensFor();
    EXPECT_TRUE(signedIn.contains("id_token") && signedIn.contains("expires_in"));
    provider->setRefreshAnswerShape({ .includesIdToken = false, .includesLifetime = false });
    auto refreshed = refresh(signedIn["refresh_token"]);
    EXPECT_TRUE(refreshed.contains("access_token"));
    EXPECT_FALSE(refreshed.contains("id_token"));
    EXPECT_FALSE(refreshed.contains("expires_in"));
    // Only refreshes: a sign-in always carries both.
    auto again = tokensFor();
    EXPECT_TRUE(again.contains("id_token") && again.contains("expires_in"));
}

TEST_F(IdentityProviderTest, TokensFollowTheTestClock)
{
    env.fastForwardBy(std::chrono::hours(24 * 400));
    auto answer = tokensFor();
    auto claims = provider->signer().verify(answer["id_token"]);
    ASSERT_TRUE(claims);
    auto now = std::chrono::duration_cast<std::chrono::seconds>(env.manualClock().now().time_since_epoch()).count();
    EXPECT_EQ((*claims)["iat"], now);
    EXPECT_EQ((*claims)["exp"], now + 3600);
}

TEST(IdentityProviderPendingSignIns, ExpireOnTheClockAndAreBoundedInNumber)
{
    platform::TestEnvironment env;
    IdentityProvider::Options options;
    options.maximumPendingSignIns = 2;
    devstack::testing::RunningService<IdentityProvider> provider(options);
    httplib::Client http(provider.url());
    http.set_ca_cert_path(platform::extraCertificateAuthorityFile()->string());
    auto open = [&] {
        return transactionOf(http.Get("/oauth2/v1/authorize?client_id=" + std::string(IdentityProvider::defaultClientId)
            + "&response_type=code&scope=openid&state=S&redirect_uri=com.brantwick.tolven%3A%2Fcallback&code_challenge_method=S256"
              "&code_challenge=E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM")->body);
    };
    auto submit = [&](const std::string& transaction) {
        return http.Post("/oauth2/v1/authorize/signin",
            httplib::Params { { "transaction", transaction }, { "username", "kim.minsu@brantwick.com" }, { "password", "Tolven!2024" } })->status;
    };

    auto early = open();
    env.fastForwardBy(std::chrono::seconds(599));
    EXPECT_EQ(submit(early), 302);
    auto late = open();
    env.fastForwardBy(std::chrono::seconds(600));
    EXPECT_EQ(submit(late), 400);

    // A third open sign-in pushes out the oldest.
    auto oldest = open();
    env.fastForwardBy(std::chrono::seconds(1));
    auto middle = open();
    auto newest = open();
    EXPECT_EQ(submit(oldest), 400);
    EXPECT_EQ(submit(middle), 302);
    EXPECT_EQ(submit(newest), 302);
}

// The application's logout road: the provider's page in an ephemeral web
// session, returning to the scheme named after the provider's host.
TEST_F(IdentityProviderTest, LogoutReturnsToTheSchemeNamedAfterTheProvidersHost)
{
    EXPECT_TRUE(provider.url().starts_with("https://localhost:"));
    auto hint = tokensFor()["id_token"].get<std::string>();
    auto redirect = std::string(IdentityProvider::hostName) + ":/logout";
    std::optional<std::string> returned;
    platform::HeadlessWebAuthenticationSession session(
        provider.url("/oauth2/v1/logout?post_logout_redirect_uri=" + platform::percentEscape(redirect) + "&id_token_hint=" + hint),
        IdentityProvider::hostName,
        [&](std::optional<std::string> callback, std::optional<platform::WebAuthenticationSession::Error> error) {
            returned = callback.value_or("error: " + (error ? error->description : std::string()));
        },
        {});
    session.setPrefersEphemeralWebBrowserSession(true);
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(env.runUntil([&] { return returned.has_value(); }));
    EXPECT_EQ(*returned, "localhost:/logout");
}
