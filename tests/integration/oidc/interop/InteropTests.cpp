#include "PeerProcess.h"
#include "ProviderPagesSession.h"

#include "devstack/server/DevCertificates.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/net/CertificateAuthorities.h"
#include "platform/net/HttpSession.h"
#include "platform/oidc/BrowserSignIn.h"
#include "platform/oidc/CredentialStore.h"
#include "platform/oidc/Jwt.h"
#include "platform/oidc/ProviderClock.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace platform;
using platform::interop::PeerProcess;
using platform::interop::ProviderPagesSession;

namespace {

constexpr const char* clientId = "0oa1brantwicktolven1";
constexpr const char* redirectUri = "com.brantwick.tolven:/callback";
constexpr const char* login = "kim.minsu@brantwick.com";

// How the peer's providers differ (see peer.mjs).
struct Shape {
    const char* name;
    bool rotatesRefreshTokens;
    bool idTokenOnRefresh;
    bool trailingSlash;
    bool emailInIdToken;
};
const Shape shapes[] = {
    { "rotating", true, true, false, true },
    { "steady", false, false, true, false },
    { "rotatingBare", true, false, false, true },
};

// One peer for the whole program, with the authority made at its start;
// stopped, and its certificates removed, when the program ends.
struct Peer {
    std::filesystem::path folder;
    std::filesystem::path caFile;
    std::unique_ptr<PeerProcess> process;
    std::string skipReason;
    std::string failure;

    Peer()
    {
        auto node = PeerProcess::findNode();
        if (!node) {
            skipReason = "Node.js (node) is not installed: the interoperability tests against oidc-provider are skipped.";
            return;
        }
        std::filesystem::path peerFolder = TOLVEN_INTEROP_PEER_FOLDER;
        if (!std::filesystem::exists(peerFolder / "node_modules" / "oidc-provider" / "package.json")) {
            failure = "oidc-provider is not installed in " + peerFolder.string() + ": run scripts/setup-deps.";
            return;
        }
        char pattern[] = "/tmp/tolven-oidc-interop-XXXXXX";
        if (!::mkdtemp(pattern)) {
            failure = "no temporary folder for the peer's certificates";
            return;
        }
        folder = pattern;
        try {
            auto certificates = devstack::DevCertificates::ensure(folder);
            caFile = certificates.caFile;
            process = std::make_unique<PeerProcess>(*node, peerFolder,
                PeerProcess::Arguments { certificates.certificateFile, certificates.privateKeyFile, clientId, redirectUri });
        } catch (const std::exception& error) {
            failure = error.what();
        }
    }
    ~Peer()
    {
        process.reset();
        std::error_code ignored;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ignored);
    }
};

Peer& peer()
{
    static Peer shared;
    return shared;
}

class InteropTest : public ::testing::TestWithParam<Shape> {
protected:
    void SetUp() override
    {
        auto& shared = peer();
        if (!shared.skipReason.empty())
            GTEST_SKIP() << shared.skipReason;
        ASSERT_TRUE(shared.failure.empty()) << shared.failure;
        setExtraCertificateAuthorityFile(shared.caFile);
        resetProviderClockForTesting();
        WebAuthenticationSession::setFactory(ProviderPagesSession::factory(login, seen));
    }
    void TearDown() override
    {
        WebAuthenticationSession::setFactory({});
        resetProviderClockForTesting();
    }

    const Shape& shape() const { return GetParam(); }
    std::string issuer() const { return peer().process->issuer(shape().name); }

    OidcConfiguration configuration() const
    {
        return { issuer(), clientId, "openid profile email offline_access", redirectUri, "" };
    }

    Token signIn()
    {
        BrowserSignIn signIn(configuration());
        std::optional<OidcResult<Token>> result;
        signIn.browserSignIn([&](const OidcResult<Token>& outcome) { result = outcome; });
        EXPECT_TRUE(env.runUntil([&] { return result.has_value(); }));
        if (!result || !*result) {
            ADD_FAILURE() << (result ? result->error().description : "no answer");
            return {};
        }
        return result->value();
    }

    OidcResult<Token> restore(const std::string& refreshToken)
    {
        std::optional<OidcResult<Token>> result;
        OAuth2Client::forConfiguration(configuration())->restoreTokenFromRefreshToken(refreshToken, [&](const OidcResult<Token>& outcome) { result = outcome; });
        EXPECT_TRUE(env.runUntil([&] { return result.has_value(); }));
        return result ? *result : OidcResult<Token>(OidcError { OidcError::Code::cancelled, "no answer", {} });
    }

    std::optional<OidcError> refresh(Credential& credential)
    {
        std::optional<std::optional<OidcError>> outcome;
        credential.refresh([&](const std::optional<OidcError>& error) { outcome = error; });
        EXPECT_TRUE(env.runUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(OidcError { OidcError::Code::cancelled, "no answer", {} });
    }

    OpenIdConfiguration discovered()
    {
        std::optional<OidcResult<OpenIdConfiguration>> document;
        OAuth2Client::forConfiguration(configuration())->openIdConfiguration([&](const auto& result) { document = result; });
        EXPECT_TRUE(env.runUntil([&] { return document.has_value(); }));
        return document && *document ? document->value() : OpenIdConfiguration {};
    }

    // A request of the HTTP client's default session: its status and JSON body.
    std::pair<int, nlohmann::json> send(const std::string& url, HttpMethod method, std::optional<Parameters> parameters, HttpHeaderList headers = {})
    {
        std::optional<std::pair<int, nlohmann::json>> answer;
        defaultHttpSession()
            .requestWithParameters(url, method, std::move(parameters), UrlEncoding::methodDependent, std::move(headers))
            ->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) {
                answer.emplace(raw.response ? raw.response->statusCode : -1, nlohmann::json::parse(raw.data.value_or(""), nullptr, false));
            });
        EXPECT_TRUE(env.runUntil([&] { return answer.has_value(); }));
        return answer.value_or(std::pair<int, nlohmann::json> { -1, nullptr });
    }

    TestEnvironment env;
    std::shared_ptr<ProviderPagesSession::PagesSeen> seen = std::make_shared<ProviderPagesSession::PagesSeen>();
};

TEST_P(InteropTest, SignsInThroughTheProvidersLoginAndConsentPages)
{
    auto token = signIn();
    ASSERT_FALSE(token.accessToken.empty());
    EXPECT_EQ(seen->login, 1);
    EXPECT_EQ(seen->consent, 1);
    ASSERT_TRUE(token.refreshToken && token.idToken);
    EXPECT_EQ(issuer().ends_with('/'), shape().trailingSlash);
    auto claims = decodeJwtClaims(*token.idToken);
    EXPECT_EQ(claims["iss"], issuer());
    EXPECT_EQ(claims["sub"], login);
    // offline_access needs prompt=consent at this provider, which the
    // application does not send: the refresh token comes without it.
    EXPECT_EQ(token.scope.find("offline_access"), std::string::npos) << token.scope;
    EXPECT_FALSE(isTokenExpired(token));

    // The application reads the e-mail address from the ID token only; a
    // provider that keeps it for UserInfo gives it there.
    EXPECT_EQ(claims.contains("email"), shape().emailInIdToken);
    auto userInfo = send(issuer() + (shape().trailingSlash ? "me" : "/me"), HttpMethod::get(), std::nullopt,
        { { "Authorization", "Bearer " + token.accessToken } });
    EXPECT_EQ(userInfo.first, 200);
    EXPECT_EQ(userInfo.second["email"], login);
}

TEST_P(InteropTest, RefreshesKeepTheTokenUsableAndTheStoredCopyCurrent)
{
    auto first = signIn();
    ASSERT_TRUE(first.refreshToken);
    auto credential = CredentialStore::shared().storeCredential(first);
    UserDefaults::standard().setString("refreshToken", *first.refreshToken);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        auto before = credential->token();
        auto error = refresh(*credential);
        ASSERT_FALSE(error) << error->description;
        auto after = credential->token();
        EXPECT_NE(after.accessToken, before.accessToken);
        ASSERT_TRUE(after.idToken);
        if (!shape().idTokenOnRefresh) {
            EXPECT_EQ(after.idToken, before.idToken);
        }
        EXPECT_EQ(after.refreshToken != before.refreshToken, shape().rotatesRefreshTokens);
        EXPECT_EQ(UserDefaults::standard().stringForKey("refreshToken"), after.refreshToken);
        EXPECT_EQ(after.scope, first.scope);
    }

    // A refresh that asks for more than was granted is refused as a whole.
    auto widened = credential->token();
    widened.scope = configuration().scopes;
    std::optional<OidcResult<Token>> refused;
    OAuth2Client::forConfiguration(configuration())->refresh(widened, [&](const OidcResult<Token>& outcome) { refused = outcome; });
    ASSERT_TRUE(env.runUntil([&] { return refused.has_value(); }));
    ASSERT_FALSE(*refused);
    EXPECT_EQ(refused->error().oauthError, "invalid_scope");

    // The next launch restores from the stored copy, sending no scope.
    auto restored = restore(*UserDefaults::standard().stringForKey("refreshToken"));
    ASSERT_TRUE(restored) << restored.error().description;
    EXPECT_FALSE(restored.value().accessToken.empty());

    // A rotating provider takes the first refresh token back for a stolen one.
    if (shape().rotatesRefreshTokens) {
        auto reused = restore(*first.refreshToken);
        ASSERT_FALSE(reused);
        EXPECT_EQ(reused.error().oauthError, "invalid_grant");
    }
}

TEST_P(InteropTest, RevocationAtTheDiscoveredEndpointEndsTheRefreshToken)
{
    auto token = signIn();
    ASSERT_TRUE(token.refreshToken);
    auto endpoint = discovered().revocationEndpoint;
    ASSERT_TRUE(endpoint.starts_with("https://")) << endpoint;
    auto answer = send(endpoint, HttpMethod::post(),
        Parameters { { "token", *token.refreshToken }, { "token_type_hint", "refresh_token" }, { "client_id", clientId } });
    EXPECT_EQ(answer.first, 200);
    auto refused = restore(*token.refreshToken);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().oauthError, "invalid_grant");
}

INSTANTIATE_TEST_SUITE_P(Shapes, InteropTest, ::testing::ValuesIn(shapes), [](const auto& info) { return std::string(info.param.name); });

} // namespace
