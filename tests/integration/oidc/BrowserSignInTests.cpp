#include "OidcTestFixture.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Console.h"
#include "platform/net/HttpSession.h"
#include "platform/oidc/AuthorizationRequest.h"
#include "platform/oidc/Jwt.h"
#include "platform/testing/Seams.h"

using namespace platform;
using platform::testing::OidcFixture;

namespace {

using BrowserSignInTest = OidcFixture;

// Hands the callback on with its state replaced, as a forged callback would.
class ForgedStateSession final : public WebAuthenticationSession {
public:
    ForgedStateSession(std::string url, std::optional<std::string> scheme, Completion completion)
        : WebAuthenticationSession(url, scheme, nullptr)
        , inner_(url, scheme,
              [completion](std::optional<std::string> callback, std::optional<Error> error) {
                  if (callback)
                      callback = callback->substr(0, callback->find("&state=")) + "&state=forged";
                  completion(callback, error);
              },
              { "kim.minsu@brantwick.com", "Tolven!2024" })
    {
    }
    bool start() override { return inner_.start(); }
    void cancel() override { inner_.cancel(); }

private:
    HeadlessWebAuthenticationSession inner_;
};

} // namespace

TEST_F(BrowserSignInTest, SignsInWithPkceStateAndNonceAndKeepsSecretsOffTheConsole)
{
    std::vector<std::string> console;
    setConsoleSinkForTesting([&](std::string_view line) { console.emplace_back(line); });
    auto token = signedInToken();
    setConsoleSinkForTesting({});

    EXPECT_FALSE(token.id.empty());
    EXPECT_EQ(token.tokenType, "Bearer");
    EXPECT_FALSE(token.accessToken.empty());
    ASSERT_TRUE(token.refreshToken && token.idToken);
    EXPECT_EQ(decodeJwtClaims(*token.idToken)["email"], "kim.minsu@brantwick.com");
    EXPECT_EQ(token.expiresIn, std::chrono::seconds(3600));
    EXPECT_TRUE(token.issuedAt);
    EXPECT_FALSE(isTokenExpired(token));
    EXPECT_TRUE(console.empty());

    auto authorize = provider.requestLog().forPath("/oauth2/v1/authorize");
    auto exchange = provider.requestLog().forPath("/oauth2/v1/token");
    ASSERT_EQ(authorize.size(), 1u);
    ASSERT_EQ(exchange.size(), 1u);
    EXPECT_EQ(authorize[0].param("code_challenge_method"), "S256");
    EXPECT_EQ(authorize[0].param("redirect_uri"), "com.brantwick.tolven:/callback");
    EXPECT_EQ(authorize[0].param("scope"), "openid profile email offline_access");
    EXPECT_GE(authorize[0].param("state")->size(), 16u);
    EXPECT_EQ(exchange[0].param("grant_type"), "authorization_code");
    // The verifier sent with the code is the one whose hash went with the authorization.
    EXPECT_EQ(pkceChallenge(*exchange[0].param("code_verifier")), *authorize[0].param("code_challenge"));
    EXPECT_EQ(decodeJwtClaims(*token.idToken)["nonce"], *authorize[0].param("nonce"));
}

TEST_F(BrowserSignInTest, ProviderAndBrowserRefusalsBecomeErrors)
{
    struct Case {
        const char* username;
        const char* password;
        OidcError::Code code;
        const char* descriptionPart;
    };
    const Case cases[] = {
        { "park.unassigned@brantwick.com", "Tolven!2024", OidcError::Code::serverError, "User is not assigned to the client application" },
        { "kim.minsu@brantwick.com", "wrong", OidcError::Code::cancelled, "refused" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.username);
        signInAs(c.username, c.password);
        BrowserSignIn signIn(configuration());
        auto result = browserSignIn(signIn);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().code, c.code);
        EXPECT_NE(result.error().localizedDescription().find(c.descriptionPart), std::string::npos) << result.error().description;
    }
    EXPECT_EQ(tokenRequests(), 0u);
}

TEST_F(BrowserSignInTest, CallbackWithAnotherStateIsRefusedBeforeAnyExchange)
{
    WebAuthenticationSession::setFactory([](std::string url, std::optional<std::string> scheme, WebAuthenticationSession::Completion completion) {
        return std::make_unique<ForgedStateSession>(url, scheme, completion);
    });
    BrowserSignIn signIn(configuration());
    auto result = browserSignIn(signIn);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code, OidcError::Code::stateMismatch);
    EXPECT_EQ(tokenRequests(), 0u);
}

TEST_F(BrowserSignInTest, CodeRedeemedWithAnotherVerifierIsRefused)
{
    auto client = OAuth2Client::forConfiguration(configuration());
    auto request = *AuthorizationRequest::make();
    std::optional<std::string> url;
    client->openIdConfiguration([&](const OidcResult<OpenIdConfiguration>& document) { url = request.url(document.value(), configuration()); });
    ASSERT_TRUE(env.runUntil([&] { return url.has_value(); }));

    std::optional<std::string> callback;
    HeadlessWebAuthenticationSession session(*url, "com.brantwick.tolven",
        [&](std::optional<std::string> address, std::optional<WebAuthenticationSession::Error>) { callback = address.value_or(""); },
        { "kim.minsu@brantwick.com", "Tolven!2024" });
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(env.runUntil([&] { return callback.has_value(); }));
    auto code = request.codeFromCallback(*callback);
    ASSERT_TRUE(code);

    auto other = *AuthorizationRequest::make();
    std::optional<OidcResult<Token>> result;
    client->exchangeAuthorizationCode(code.value(), other.codeVerifier, request.nonce, [&](const OidcResult<Token>& outcome) { result = outcome; });
    ASSERT_TRUE(env.runUntil([&] { return result.has_value(); }));
    ASSERT_FALSE(*result);
    EXPECT_EQ(result->error().code, OidcError::Code::serverError);
    EXPECT_EQ(result->error().oauthError, "invalid_grant");

    // The code was used up by the failed attempt.
    result.reset();
    client->exchangeAuthorizationCode(code.value(), request.codeVerifier, request.nonce, [&](const OidcResult<Token>& outcome) { result = outcome; });
    ASSERT_TRUE(env.runUntil([&] { return result.has_value(); }));
    EXPECT_FALSE(*result);
}

TEST_F(BrowserSignInTest, RefreshTokenRestoresUntilItIsRevoked)
{
    auto token = signedInToken();
    auto restored = restore(*token.refreshToken);
    ASSERT_TRUE(restored) << restored.error().description;
    EXPECT_NE(restored.value().id, token.id);
    EXPECT_NE(restored.value().accessToken, token.accessToken);
    ASSERT_TRUE(restored.value().refreshToken);
    EXPECT_NE(restored.value().refreshToken, token.refreshToken); // rotated
    EXPECT_EQ(decodeJwtClaims(*restored.value().idToken)["email"], "kim.minsu@brantwick.com");
    EXPECT_EQ(provider.requestLog().forPath("/oauth2/v1/token").back().param("grant_type"), "refresh_token");

    // Revoked the way the application's sign-out does it.
    auto current = *restored.value().refreshToken;
    std::optional<int> status;
    defaultHttpSession()
        .requestWithParameters(provider.url("/oauth2/v1/revoke"), HttpMethod::post(),
            Parameters { { "token", current }, { "token_type_hint", "refresh_token" }, { "client_id", configuration().clientId } })
        ->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { status = raw.response ? raw.response->statusCode : -1; });
    ASSERT_TRUE(env.runUntil([&] { return status.has_value(); }));
    EXPECT_EQ(*status, 200);

    auto refused = restore(current);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().oauthError, "invalid_grant");
}

// The refresh token alone does not tell what was granted: asking for the
// configured scopes would be refused by a provider that granted fewer.
TEST_F(BrowserSignInTest, RestoringAsksForNoScopeAndRefreshingForTheGrantedOne)
{
    auto narrow = configuration();
    narrow.scopes = "openid email offline_access";
    auto token = signedInToken(narrow);
    ASSERT_EQ(token.scope, "openid email offline_access");

    auto restored = restore(*token.refreshToken, configuration());
    ASSERT_TRUE(restored) << restored.error().description;
    EXPECT_FALSE(provider.requestLog().forPath("/oauth2/v1/token").back().param("scope"));
    EXPECT_EQ(restored.value().scope, "openid email offline_access");

    std::optional<OidcResult<Token>> refreshed;
    OAuth2Client::forConfiguration(configuration())->refresh(restored.value(), [&](const OidcResult<Token>& outcome) { refreshed = outcome; });
    ASSERT_TRUE(env.runUntil([&] { return refreshed.has_value(); }));
    ASSERT_TRUE(*refreshed) << refreshed->error().description;
    EXPECT_EQ(provider.requestLog().forPath("/oauth2/v1/token").back().param("scope"), "openid email offline_access");
}

TEST(OidcConfiguration, UnusableValuesGiveNoConfiguration)
{
    const PlistValue::Dictionary good {
        { "issuer", PlistValue("https://login.brantwick.com/") },
        { "clientId", PlistValue("0oa1brantwicktolven1") },
        { "scopes", PlistValue("openid email") },
        { "redirectUri", PlistValue("com.brantwick.tolven:/callback") },
    };
    auto parsed = OidcConfiguration::fromDictionary(good);
    ASSERT_TRUE(parsed);
    // As written: the discovery document must name it exactly.
    EXPECT_EQ(parsed->issuer, "https://login.brantwick.com/");
    EXPECT_EQ(parsed->redirectScheme(), "com.brantwick.tolven");

    struct Case {
        const char* key;
        PlistValue value;
    };
    const Case cases[] = {
        { "issuer", PlistValue("http://login.brantwick.com") },
        { "issuer", PlistValue(5) },
        { "clientId", PlistValue("") },
        { "scopes", PlistValue("email profile") },
        { "redirectUri", PlistValue("/callback") },
        { "logoutRedirectUri", PlistValue("1bad:/logout") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        auto values = good;
        values.insert_or_assign(c.key, c.value);
        EXPECT_FALSE(OidcConfiguration::fromDictionary(values));
    }
    auto missing = good;
    missing.erase("clientId");
    EXPECT_FALSE(OidcConfiguration::fromDictionary(missing));
}

TEST(SharedBrowserSignIn, ComesFromTheOktaPropertyList)
{
    TestEnvironment env;
    EXPECT_EQ(sharedBrowserSignIn(), nullptr);
    PlistValue::Dictionary okta {
        { "issuer", PlistValue("https://login.brantwick.com") },
        { "clientId", PlistValue("0oa1brantwicktolven1") },
        { "scopes", PlistValue("openid profile email offline_access") },
        { "redirectUri", PlistValue("com.brantwick.tolven:/callback") },
        { "logoutRedirectUri", PlistValue("com.brantwick.tolven:/logout") },
    };
    // Once made, also as absent, it stays for the bundle it was made for.
    ASSERT_TRUE(writeFileAtomically(env.bundleFolder() / "Okta.plist", serializePropertyList(PlistValue(okta))));
    EXPECT_EQ(sharedBrowserSignIn(), nullptr);
    // Another bundle (as each test has its own): made again for that one.
    TestEnvironment inner;
    ASSERT_TRUE(writeFileAtomically(inner.bundleFolder() / "Okta.plist", serializePropertyList(PlistValue(okta))));
    auto* shared = sharedBrowserSignIn();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->configuration(), *OidcConfiguration::fromDictionary(okta));
    EXPECT_EQ(shared->configuration().issuer, "https://login.brantwick.com");
    EXPECT_EQ(sharedBrowserSignIn(), shared);
}

