#include "devstack/server/testing/RunningService.h"
#include "devstack/server/testing/ScriptedService.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/oidc/Base64Url.h"
#include "platform/oidc/OAuth2Client.h"
#include "platform/oidc/ProviderClock.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace platform;
using namespace std::chrono_literals;
using nlohmann::json;

namespace {

std::string base64UrlOf(const std::string& text)
{
    return base64UrlEncode(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string httpDate(WallClockTime time)
{
    auto seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts {};
    ::gmtime_r(&seconds, &parts);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

// A provider whose discovery document and token answers each test writes,
// for the shapes the local identity provider never takes.
class ScriptedProviderTest : public ::testing::Test {
protected:
    ScriptedProviderTest() { resetProviderClockForTesting(); }
    ~ScriptedProviderTest() override { resetProviderClockForTesting(); }

    OidcConfiguration configuration(const std::string& issuer) const
    {
        return { issuer, "interop-client", "openid email offline_access", "com.brantwick.tolven:/callback", "" };
    }

    void serveDiscovery(const std::string& documentIssuer, const std::string& tokenEndpoint)
    {
        provider->reply("GET", "/.well-known/openid-configuration", 200,
            json { { "issuer", documentIssuer }, { "authorization_endpoint", provider.url("/authorize") }, { "token_endpoint", tokenEndpoint } }.dump());
    }

    // Token answers carry `answer`, and a "Date" header of `providerTime` when it is set.
    void answerTokensWith(const json& answer, std::optional<WallClockTime> providerTime = std::nullopt)
    {
        provider->on("POST", "/token", [answer, providerTime](const httplib::Request&, httplib::Response& response) {
            if (providerTime)
                response.set_header("Date", httpDate(*providerTime));
            response.set_content(answer.dump(), "application/json");
        });
    }

    // An unsigned ID token: the client checks what it says, not who signed it.
    std::string idToken(const json& claims) const
    {
        return base64UrlOf(R"({"alg":"RS256"})") + "." + base64UrlOf(claims.dump()) + ".c2lnbmF0dXJl";
    }

    json idClaims(const std::string& issuer, WallClockTime issuedAt, std::chrono::seconds lifetime = 3600s) const
    {
        auto iat = std::chrono::duration_cast<std::chrono::seconds>(issuedAt.time_since_epoch()).count();
        return { { "iss", issuer }, { "aud", "interop-client" }, { "sub", "00u1" }, { "iat", iat }, { "exp", iat + lifetime.count() } };
    }

    OidcResult<Token> restore(const OidcConfiguration& client)
    {
        std::optional<OidcResult<Token>> result;
        std::make_shared<OAuth2Client>(client)->restoreTokenFromRefreshToken("RT-1", [&](const OidcResult<Token>& outcome) { result = outcome; });
        EXPECT_TRUE(env.runUntil([&] { return result.has_value(); }));
        return result ? *result : OidcResult<Token>(OidcError { OidcError::Code::cancelled, "timed out", {} });
    }

    TestEnvironment env;
    devstack::testing::RunningService<devstack::testing::ScriptedService> provider;
};

// Accepted when `why` is null; otherwise refused with `code` and a description that says `why`.
void expectOutcome(const OidcResult<Token>& token, const char* why, OidcError::Code code)
{
    if (!why) {
        EXPECT_TRUE(token) << token.error().description;
        return;
    }
    ASSERT_FALSE(token);
    EXPECT_EQ(token.error().code, code);
    EXPECT_NE(token.error().description.find(why), std::string::npos) << token.error().description;
}

TEST_F(ScriptedProviderTest, TheLifetimeMayBeMissingOrADecimalText)
{
    struct Case {
        json expiresIn; // null: left out
        std::optional<std::chrono::seconds> lifetime;
        bool accepted;
    };
    const Case cases[] = {
        { nullptr, std::nullopt, true },
        { 3600, 3600s, true },
        { "3600", 3600s, true },
        { "", std::nullopt, false },
        { "36 00", std::nullopt, false },
        { "-5", std::nullopt, false },
        { 0, std::nullopt, false },
        { 3600.5, std::nullopt, false },
        { json::array({ 3600 }), std::nullopt, false },
    };
    serveDiscovery(provider.url(), provider.url("/token"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expiresIn.dump());
        json answer { { "token_type", "Bearer" }, { "access_token", "AT" } };
        if (!c.expiresIn.is_null())
            answer["expires_in"] = c.expiresIn;
        answerTokensWith(answer);
        auto token = restore(configuration(provider.url()));
        ASSERT_EQ(token.isSuccess(), c.accepted);
        if (token) {
            EXPECT_EQ(token.value().expiresIn, c.lifetime);
            EXPECT_FALSE(isTokenExpired(token.value()));
        } else {
            EXPECT_EQ(token.error().code, OidcError::Code::invalidResponse);
        }
    }
}

TEST_F(ScriptedProviderTest, TheIssuerIsComparedAsConfiguredAndARefusalSaysWhy)
{
    struct Case {
        std::string configured;
        std::string named;
        bool httpsTokenEndpoint;
        const char* why; // nullptr: usable
    };
    auto base = provider.url();
    const Case cases[] = {
        { base, base, true, nullptr },
        { base + "/", base + "/", true, nullptr },
        { base, base + "/", true, "names the issuer" },
        { base + "/", base, true, "names the issuer" },
        { base, base, false, "token endpoint" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.configured + " / " + c.named);
        serveDiscovery(c.named, c.httpsTokenEndpoint ? provider.url("/token") : "http://127.0.0.1:1/token");
        answerTokensWith({ { "token_type", "Bearer" }, { "access_token", "AT" }, { "expires_in", 60 },
            { "id_token", idToken(idClaims(c.configured, env.manualClock().now())) } });
        expectOutcome(restore(configuration(c.configured)), c.why, OidcError::Code::invalidConfiguration);
    }
}

TEST_F(ScriptedProviderTest, IdTokenTimesAreJudgedByTheProviderClockWithALeeway)
{
    auto issuer = provider.url();
    serveDiscovery(issuer, provider.url("/token"));
    auto now = env.manualClock().now();
    auto withoutExpiry = idClaims(issuer, now);
    withoutExpiry.erase("exp");
    struct Case {
        const char* name;
        json claims;
        std::optional<WallClockTime> providerTime;
        const char* why; // nullptr: accepted
    };
    const Case cases[] = {
        { "fresh", idClaims(issuer, now), std::nullopt, nullptr },
        { "expired a minute ago", idClaims(issuer, now - 3660s), std::nullopt, nullptr },
        { "expired five minutes ago", idClaims(issuer, now - 3900s), std::nullopt, "expired" },
        { "issued ten minutes ahead", idClaims(issuer, now + 600s), std::nullopt, "future" },
        { "without expiry", withoutExpiry, std::nullopt, "expires" },
        // The provider's clock is an hour ahead of this device's: its fresh
        // token is issued in the device's future and is fine all the same.
        { "fresh by a provider an hour ahead", idClaims(issuer, now + 3600s), now + 3600s, nullptr },
        { "expired by a provider an hour ahead", idClaims(issuer, now - 600s, 3600s), now + 3600s, "expired" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetProviderClockForTesting();
        answerTokensWith({ { "token_type", "Bearer" }, { "access_token", "AT" }, { "expires_in", 60 }, { "id_token", idToken(c.claims) } },
            c.providerTime);
        expectOutcome(restore(configuration(issuer)), c.why, OidcError::Code::invalidIdToken);
    }
}

} // namespace
