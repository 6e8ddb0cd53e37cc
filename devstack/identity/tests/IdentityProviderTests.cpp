#include "devstack/identity/IdentityProvider.h"

#include "devstack/server/testing/RunningService.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/net/CertificateAuthorities.h"

#include <gtest/gtest.h>


using devstack::IdentityProvider;

namespace {

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
        const std::string marker = "name=\"transaction\" value=\"";
        auto start = form->body.find(marker);
        EXPECT_NE(start, std::string::npos);
        start += marker.size();
        auto transaction = form->body.substr(start, form->body.find('"', start) - start);
        auto answer = http.Post("/oauth2/v1/authorize/signin",
            httplib::Params { { "transaction", transaction }, { "username", username }, { "password", password } });
        return answer->status == 302 ? answer->get_header_value("Location") : "HTTP " + std::to_string(answer->status);
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
