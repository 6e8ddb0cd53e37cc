#include "OidcTestFixture.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/HttpSession.h"
#include "platform/oidc/CredentialStore.h"
#include "platform/security/Keychain.h"
#include "platform/testing/Seams.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

class CredentialTest : public platform::testing::OidcFixture {
protected:
    CredentialStore& store = CredentialStore::shared();

    // Starts refreshIfNearExpiry; true when it completed before returning.
    bool refreshCompletesAtOnce(Credential& credential, std::optional<std::optional<OidcError>>& outcome)
    {
        credential.refreshIfNearExpiry([&](const std::optional<OidcError>& error) { outcome = error; });
        return outcome.has_value();
    }

    std::string storedAccessToken(const std::string& id)
    {
        std::optional<GenericPasswordItem> item;
        Keychain::standard().copyMatching({ CredentialStore::tokenService, id, SynchronizableMatch::any }, item);
        return item ? Token::fromJson(nlohmann::json::parse(item->data.begin(), item->data.end())).accessToken : "";
    }
};

Token handMadeToken(std::optional<WallClockTime> issuedAt, std::optional<std::chrono::seconds> lifetime)
{
    Token token;
    token.id = "hand-made";
    token.tokenType = "Bearer";
    token.accessToken = "access";
    token.issuedAt = issuedAt;
    token.expiresIn = lifetime;
    return token;
}

} // namespace

TEST_F(CredentialTest, StoreFindDefaultAndDelete)
{
    EXPECT_EQ(store.defaultCredential(), nullptr);
    auto token = signedInToken();
    auto credential = store.storeCredential(token);
    EXPECT_EQ(credential->token().toJson(), token.toJson());
    EXPECT_EQ(store.defaultCredential(), credential);
    EXPECT_EQ(store.findCredentialById(token.id), credential);
    EXPECT_EQ(store.findCredentialById(""), nullptr);
    EXPECT_EQ(store.findCredentialById("unknown"), nullptr);

    // A second credential does not take the default over.
    auto second = handMadeToken(std::nullopt, std::nullopt);
    second.configuration = configuration();
    store.storeCredential(second);
    EXPECT_EQ(store.defaultCredential(), credential);

    store.deleteCredential(*credential);
    EXPECT_EQ(store.findCredentialById(token.id), nullptr);
    EXPECT_EQ(store.defaultCredential(), nullptr);
    EXPECT_NE(store.findCredentialById("hand-made"), nullptr);
    EXPECT_NO_THROW(store.deleteCredential(*credential));
}

TEST_F(CredentialTest, StoredCredentialSurvivesTheProcessButNotDamage)
{
    auto token = signedInToken();
    std::string id;
    {
        auto credential = store.storeCredential(token);
        id = credential->id();
    } // the last holder is gone: the next look-up reads the keychain
    auto restored = store.findCredentialById(id);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->token().toJson(), token.toJson());
    restored.reset();

    ASSERT_TRUE(writeFileAtomically(Keychain::standard().file(), "damaged"));
    try {
        store.findCredentialById(id);
        ADD_FAILURE() << "a damaged store was read";
    } catch (const OidcError& error) {
        EXPECT_EQ(error.code, OidcError::Code::storageFailed);
    }
    EXPECT_EQ(store.defaultCredential(), nullptr);
    EXPECT_THROW(store.storeCredential(token), OidcError);
}

TEST_F(CredentialTest, RefreshIsDueFromThreeHundredSecondsBeforeExpiry)
{
    auto credential = store.storeCredential(signedInToken());
    auto before = credential->token();
    auto requestsBefore = tokenRequests();

    env.fastForwardBy(3600s - 300s - 1s);
    std::optional<std::optional<OidcError>> outcome;
    EXPECT_TRUE(refreshCompletesAtOnce(*credential, outcome));
    EXPECT_EQ(*outcome, std::nullopt);
    EXPECT_EQ(tokenRequests(), requestsBefore);

    env.fastForwardBy(1s);
    outcome.reset();
    EXPECT_FALSE(refreshCompletesAtOnce(*credential, outcome));
    ASSERT_TRUE(env.runUntil([&] { return outcome.has_value(); }));
    EXPECT_EQ(*outcome, std::nullopt);
    EXPECT_EQ(tokenRequests(), requestsBefore + 1);

    auto after = credential->token();
    EXPECT_EQ(after.id, before.id);
    EXPECT_NE(after.accessToken, before.accessToken);
    EXPECT_NE(after.refreshToken, before.refreshToken); // the provider rotates them
    EXPECT_EQ(storedAccessToken(after.id), after.accessToken);
    // Fresh again: nothing is due.
    outcome.reset();
    EXPECT_TRUE(refreshCompletesAtOnce(*credential, outcome));
}

TEST_F(CredentialTest, RefreshesAskedTogetherShareOneRequest)
{
    auto credential = store.storeCredential(signedInToken());
    auto requestsBefore = tokenRequests();
    env.fastForwardBy(3500s);
    int completed = 0;
    credential->refreshIfNearExpiry([&](const std::optional<OidcError>& error) { completed += !error; });
    credential->refreshIfNearExpiry([&](const std::optional<OidcError>& error) { completed += !error; });
    ASSERT_TRUE(env.runUntil([&] { return completed == 2; }));
    EXPECT_EQ(tokenRequests(), requestsBefore + 1);
}

TEST_F(CredentialTest, NothingToRefreshWith)
{
    // Without issue time or lifetime nothing is ever due.
    auto unknown = store.storeCredential(handMadeToken(std::nullopt, 60s));
    std::optional<std::optional<OidcError>> outcome;
    EXPECT_TRUE(refreshCompletesAtOnce(*unknown, outcome));
    EXPECT_EQ(*outcome, std::nullopt);

    // Due, but no refresh token.
    auto token = handMadeToken(platform::clock().now(), 60s);
    token.id = "no-refresh-token";
    token.configuration = configuration();
    auto due = store.storeCredential(token);
    outcome.reset();
    due->refreshIfNearExpiry([&](const std::optional<OidcError>& error) { outcome = error; });
    ASSERT_TRUE(env.runUntil([&] { return outcome.has_value(); }));
    ASSERT_TRUE(*outcome);
    EXPECT_EQ((*outcome)->code, OidcError::Code::missingRefreshToken);
}

TEST_F(CredentialTest, AutomaticRefreshKeepsTheTokenCurrent)
{
    auto credential = store.storeCredential(signedInToken());
    auto first = credential->token().accessToken;
    credential->enableAutomaticRefresh();
    EXPECT_TRUE(credential->isAutomaticRefreshEnabled());
    env.fastForwardBy(3299s);
    EXPECT_EQ(credential->token().accessToken, first);
    env.fastForwardBy(1s);
    ASSERT_TRUE(env.runUntil([&] { return credential->token().accessToken != first; }));
    auto second = credential->token().accessToken;
    // And again one lifetime later, from the new token's issue time.
    env.fastForwardBy(3300s);
    ASSERT_TRUE(env.runUntil([&] { return credential->token().accessToken != second; }));
}

// A token living no longer than the grace interval is due as soon as it
// arrives; automatic refresh waits until it has lived half its life, and at
// least a minute after the refresh before, instead of refreshing without pause.
TEST_F(CredentialTest, AutomaticRefreshOfShortLivedTokensKeepsAPace)
{
    struct Case {
        std::chrono::seconds lifetime;
        std::chrono::seconds pace;
    };
    const Case cases[] = { { 200s, 100s }, { 300s, 150s }, { 500s, 250s }, { 30s, 60s } };
    // Lets each refresh that the clock started reach the provider and come back.
    auto settle = [&] {
        do {
            ASSERT_TRUE(env.runUntil([] { return defaultHttpSession().requestsInFlight() == 0; }));
            env.runUntilIdle();
        } while (defaultHttpSession().requestsInFlight() != 0);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lifetime.count());
        provider->setTokenLifetime(c.lifetime);
        auto credential = store.storeCredential(signedInToken());
        auto signedIn = tokenRequests();
        credential->enableAutomaticRefresh();
        // The first refresh comes at half the signed-in token's life.
        env.fastForwardBy(c.lifetime / 2);
        settle();
        ASSERT_EQ(tokenRequests(), signedIn + 1);
        for (std::size_t round = 1; round <= 3; ++round) {
            env.fastForwardBy(c.pace - 1s);
            settle();
            EXPECT_EQ(tokenRequests(), signedIn + round);
            env.fastForwardBy(1s);
            settle();
            EXPECT_EQ(tokenRequests(), signedIn + round + 1);
        }
        store.deleteCredential(*credential);
    }
}

TEST_F(CredentialTest, ARefreshAnswerWithoutIdTokenOrLifetimeKeepsTheIdTokenAndNeverFallsDue)
{
    auto credential = store.storeCredential(signedInToken());
    auto before = credential->token();
    provider->setRefreshAnswerShape({ .includesIdToken = false, .includesLifetime = false });
    std::optional<std::optional<OidcError>> outcome;
    credential->refresh([&](const std::optional<OidcError>& error) { outcome = error; });
    ASSERT_TRUE(env.runUntil([&] { return outcome.has_value(); }));
    ASSERT_EQ(*outcome, std::nullopt) << (*outcome)->description;

    auto after = credential->token();
    EXPECT_NE(after.accessToken, before.accessToken);
    EXPECT_EQ(after.idToken, before.idToken);
    EXPECT_EQ(after.expiresIn, std::nullopt);
    // An unknown lifetime is never near its end by the clock.
    env.fastForwardBy(24h);
    EXPECT_FALSE(isTokenExpired(after));
    outcome.reset();
    EXPECT_TRUE(refreshCompletesAtOnce(*credential, outcome));
}

TEST_F(CredentialTest, TheUserDefaultsCopyFollowsARotatedRefreshToken)
{
    auto& defaults = UserDefaults::standard();
    auto credential = store.storeCredential(signedInToken());
    auto first = *credential->token().refreshToken;
    defaults.setString("refreshToken", first);
    credential->enableAutomaticRefresh();
    env.fastForwardBy(3300s);
    ASSERT_TRUE(env.runUntil([&] { return credential->token().refreshToken != first; }));
    auto second = *credential->token().refreshToken;
    EXPECT_EQ(defaults.stringForKey("refreshToken"), second);

    // The next launch signs in again from the copy, which the provider still honours.
    auto restored = restore(*defaults.stringForKey("refreshToken"));
    ASSERT_TRUE(restored) << restored.error().description;
    // The stale copy would have been a reuse: refused, and the grant with it.
    EXPECT_EQ(restore(first).error().oauthError, "invalid_grant");

    // A copy of some other token is left as it is.
    auto other = store.storeCredential(signedInToken());
    defaults.setString("refreshToken", "someone-else's");
    std::optional<std::optional<OidcError>> outcome;
    other->refresh([&](const std::optional<OidcError>& error) { outcome = error; });
    ASSERT_TRUE(env.runUntil([&] { return outcome.has_value(); }));
    EXPECT_EQ(defaults.stringForKey("refreshToken"), "someone-else's");
}

TEST(TokenExpiry, ByTheProviderCorrectedClock)
{
    TestEnvironment env;
    resetProviderClockForTesting();
    auto token = handMadeToken(platform::clock().now(), 60s);
    EXPECT_FALSE(isTokenExpired(token));
    env.fastForwardBy(59s);
    EXPECT_FALSE(isTokenExpired(token));
    env.fastForwardBy(1s);
    EXPECT_TRUE(isTokenExpired(token));
    EXPECT_FALSE(isTokenExpired(handMadeToken(std::nullopt, 60s)));
    EXPECT_FALSE(isTokenExpired(handMadeToken(platform::clock().now() - 3600s, std::nullopt)));

    // The provider's clock is an hour ahead of this device's: a token it
    // issued half an hour "ago" by its clock has 30 minutes left, although by
    // the device's clock it was issued in the future.
    ProviderClock::learnFromDateHeader("Mon, 06 May 2024 05:45:07 GMT");
    EXPECT_EQ(ProviderClock::offset(), Duration(3600s - 60s));
    auto providerIssued = handMadeToken(ProviderClock::now() - 1800s, 1800s);
    EXPECT_TRUE(isTokenExpired(providerIssued));
    EXPECT_FALSE(isTokenExpired(handMadeToken(ProviderClock::now() - 1799s, 1800s)));
    // Texts that are no date, or a date no provider's clock shows, keep the correction.
    for (const char* implausible : { "not a date", "Mon, 06 May 2400 05:45:07 GMT", "Sat, 06 May 9999 05:45:07 GMT",
             "Thu, 01 Jan 1970 00:00:00 GMT", "Mon, 06 May 1700 05:45:07 GMT" }) {
        ProviderClock::learnFromDateHeader(implausible);
        EXPECT_EQ(ProviderClock::offset(), Duration(3600s - 60s)) << implausible;
    }
    resetProviderClockForTesting();
}

TEST(TokenStorage, TimesThatWouldOverflowAreRefusedAsDamage)
{
    auto stored = handMadeToken(WallClockTime(std::chrono::milliseconds(1714970707000)), 3600s).toJson();
    EXPECT_NO_THROW(Token::fromJson(stored));
    for (const auto& [key, value] : { std::pair { "issued_at_ms", std::int64_t { 1700000000000000000 } },
             std::pair { "issued_at_ms", std::int64_t { -1700000000000000000 } }, std::pair { "expires_in", INT64_MAX },
             std::pair { "expires_in", INT64_MIN } }) {
        auto damaged = stored;
        damaged[key] = value;
        EXPECT_THROW(Token::fromJson(damaged), std::invalid_argument) << key << " " << value;
    }
    // Numbers too large for any integer are read as fractions; the largest
    // unsigned one must not wrap round into range.
    for (const char* key : { "issued_at_ms", "expires_in" }) {
        for (const auto& value : { nlohmann::json(1.7e24), nlohmann::json(3600.5), nlohmann::json(UINT64_MAX) }) {
            auto damaged = stored;
            damaged[key] = value;
            EXPECT_THROW(Token::fromJson(damaged), std::invalid_argument) << key << " " << value;
        }
    }
}
