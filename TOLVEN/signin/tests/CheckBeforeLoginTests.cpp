#include "SigninBackendFixture.h"

#include "TOLVEN/signin/APISession.h"
#include "TOLVEN/signin/CheckBeforeLogin.h"

namespace tolven {
namespace {

class CheckBeforeLoginTest : public SigninBackendTest {
protected:
    // Signed in, with a cached gateway token and the employee record loaded.
    void signInWithToken()
    {
        signIn();
        std::optional<GatewayTokenResult> token;
        TokenManager::shared().withValidGatewayToken([&](const GatewayTokenResult& value) { token = value; });
        await(token);
        loadEmployee();
        settle();
        gateway.requestLog().clear();
    }

    bool check()
    {
        std::optional<bool> registered;
        CheckBeforeLogin::shared().checkGetLogin(AppSession::shared().userToken, apiSession(), [&](bool value) { registered = value; });
        return await(registered);
    }

    std::string localKey()
    {
        return std::string(thisDevice) + " " + thisRefreshToken + " " + TokenManager::shared().currentGatewayToken().value_or("");
    }

    // A gateway token as the other phone got it.
    std::string otherPhonesToken()
    {
        return gateway->tokens().issue(kimEmail, env.manualClock().now() + std::chrono::hours(1));
    }

    std::vector<std::string> serverFields()
    {
        auto& check = CheckBeforeLogin::shared();
        return { check.serverAppToken, check.serverOktaRT, check.serverApigeeAT };
    }
};

TEST_F(CheckBeforeLoginTest, GetKeyReadsTheServerKeyAndComparesTheDevice)
{
    struct Case {
        const char* name;
        std::string key;
        bool registered;
        std::vector<std::string> fields;
    };
    const std::vector<std::string> earlier { "EARLIER", "EARLIER-RT", "EARLIER-AT" };
    const Case cases[] = {
        { "this phone", std::string(thisDevice) + " RT-a1b2c3d4 GW-e5f6a7b8", true, { thisDevice, "RT-a1b2c3d4", "GW-e5f6a7b8" } },
        { "another phone", "OTHERDEV01 RT-a1b2c3d4 GW-e5f6a7b8", false, { "OTHERDEV01", "RT-a1b2c3d4", "GW-e5f6a7b8" } },
        { "double space, four parts", "OTHERDEV01  RT-a1b2c3d4 GW-e5f6a7b8 extra", false, { "OTHERDEV01", "RT-a1b2c3d4", "GW-e5f6a7b8" } },
        { "leading space, two parts", " OTHERDEV01 RT-a1b2c3d4", false, earlier },
    };
    signInWithToken();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto& shared = CheckBeforeLogin::shared();
        shared.serverAppToken = earlier[0];
        shared.serverOktaRT = earlier[1];
        shared.serverApigeeAT = earlier[2];
        gateway->setServerKey(kimEmail, c.key);
        EXPECT_EQ(check(), c.registered);
        EXPECT_EQ(serverFields(), c.fields);
    }
    auto request = gatewayRequests(getKeyPath).at(0);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.header("User-Agent"), "brantwickMcard");
    EXPECT_EQ(request.header("User-Token"), kimUserToken);
    EXPECT_EQ(request.header("Accept"), "application/json");
    EXPECT_EQ(request.header("Authorization"), "Bearer " + *TokenManager::shared().currentGatewayToken());
    EXPECT_EQ(request.query, "");
    // The raw answer is printed with the key's token words masked.
    EXPECT_TRUE(consoleContains("checkGetLogin raw:\n{"));
    EXPECT_TRUE(consoleContains("\"OTHERDEV01 RT-a… GW-e…\""));
    EXPECT_FALSE(consoleContains("RT-a1b2c3d4"));
}

TEST_F(CheckBeforeLoginTest, FailedReadsLetThePhoneThrough)
{
    struct Case {
        const char* name;
        devstack::EndpointFault fault;
        const char* line;
    };
    const Case cases[] = {
        { "server error", devstack::EndpointFault::withStatus(500),
            "checkGetLogin 실패: Response status code was unacceptable: 500. (code=500) → 일단 통과" },
        { "html instead of json", devstack::EndpointFault::notJson(), "(code=200) → 일단 통과" },
        { "json that is no object", devstack::EndpointFault::reply(200, "[\"A B C\"]"), "(code=200) → 일단 통과" },
    };
    signInWithToken();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gateway->faults().set(getKeyPath, c.fault);
        EXPECT_TRUE(check());
        EXPECT_TRUE(consoleContains(c.line));
    }
    EXPECT_TRUE(gatewayRequests(setKeyPath).empty());

    gateway->faults().clearAll();
    gateway->stop();
    EXPECT_TRUE(check());
    auto lines = consoleLines();
    EXPECT_EQ(lines.back().rfind("checkGetLogin 실패: ", 0), 0u);
    EXPECT_EQ(lines.back().find("(code="), std::string::npos);
    EXPECT_NE(lines.back().find(" → 일단 통과"), std::string::npos);
}

TEST_F(CheckBeforeLoginTest, AnEmptyKeyListRegistersThisPhoneFirst)
{
    const char* answers[] = { R"({"content":[]})", R"({"statusCode":"200"})", R"({"content":[5]})", R"({"content":"A B C"})" };
    signInWithToken();
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        gateway.requestLog().clear();
        gateway->setServerKey(kimEmail, "");
        gateway->faults().set(getKeyPath, devstack::EndpointFault::reply(200, answer));
        EXPECT_FALSE(check());
        ASSERT_EQ(gatewayRequests(setKeyPath).size(), 1u);
        auto request = gatewayRequests(setKeyPath).at(0);
        EXPECT_EQ(request.param("refreshToken"), localKey());
        EXPECT_EQ(request.body, "");
        EXPECT_EQ(gateway->serverKey(kimEmail), localKey());
    }
}

TEST_F(CheckBeforeLoginTest, WithoutAUserTokenNothingIsWritten)
{
    signInWithToken();
    AppSession::shared().userToken.clear();
    gateway->faults().set(getKeyPath, devstack::EndpointFault::reply(200, R"({"content":[]})"));
    EXPECT_FALSE(check());
    EXPECT_TRUE(consoleHas("setCheck: userToken empty → skip"));

    bool completed = false;
    CheckBeforeLogin::shared().setCheck(thisDevice, "", "", apiSession(), [&] { completed = true; });
    EXPECT_TRUE(completed);
    settle();
    EXPECT_TRUE(gatewayRequests(setKeyPath).empty());
}

TEST_F(CheckBeforeLoginTest, SetKeySendsTheKeyInTheQueryAndCompletesWhateverTheAnswer)
{
    signInWithToken();
    std::optional<bool> done;
    CheckBeforeLogin::shared().setCheck(thisDevice, "", "", apiSession(), [&] { done = true; });
    await(done);
    auto request = gatewayRequests(setKeyPath).at(0);
    EXPECT_EQ(request.query, "refreshToken=" + std::string(thisDevice) + "%20%20");
    EXPECT_EQ(request.param("refreshToken"), std::string(thisDevice) + "  ");
    EXPECT_EQ(request.header("User-Token"), kimUserToken);
    EXPECT_EQ(request.header("Accept"), "application/json");
    EXPECT_TRUE(consoleContains("setCheck(form) raw:\n{"));

    for (int status : { 500, 503, 404 }) {
        SCOPED_TRACE(status);
        gateway->faults().set(setKeyPath, devstack::EndpointFault::withStatus(status, 1));
        done.reset();
        CheckBeforeLogin::shared().setCheck(thisDevice, "", "", apiSession(), [&] { done = true; });
        await(done);
        auto lines = consoleLines();
        EXPECT_EQ(lines.back() == "setCheck server 5xx → 무시하고 계속 진행", status >= 500);
    }
}

TEST_F(CheckBeforeLoginTest, SignOutRevokesThisPhonesGatewayTokenThenItsRefreshToken)
{
    signInWithToken();
    auto token = *TokenManager::shared().currentGatewayToken();
    std::optional<bool> done;
    CheckBeforeLogin::shared().revokeApigeeAndOkta(token, thisRefreshToken, defaultSessionHandle(),
        defaultSessionHandle(), [&] { done = true; });
    await(done);

    auto gatewayRevocation = gatewayRequests(gatewayRevokePath).at(0);
    EXPECT_EQ(gatewayRevocation.header("Authorization"), "Bearer " + token);
    EXPECT_EQ(gatewayRevocation.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(gatewayRevocation.header("Accept"), "application/json");
    EXPECT_EQ(gatewayRevocation.body, "client_id=0oa1brantwicktolven1&grant_type=revoke_token");
    EXPECT_TRUE(gateway->tokens().grant(token)->revoked);

    auto identityRevocation = identityRequests(identityRevokePath).at(0);
    EXPECT_EQ(identityRevocation.body, "client_id=0oa1brantwicktolven1&token=" + std::string(thisRefreshToken) + "&token_type_hint=refresh_token");
    EXPECT_EQ(identityRevocation.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(identityRevocation.header("Authorization"), std::nullopt);

    auto lines = consoleLines();
    auto apigee = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("revokeApigee raw:\n", 0) == 0; });
    auto okta = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("revokeOkta raw:\n", 0) == 0; });
    ASSERT_NE(apigee, lines.end());
    ASSERT_NE(okta, lines.end());
    EXPECT_LT(apigee, okta);
}

TEST_F(CheckBeforeLoginTest, SignOutGoesOnAfterAFailedStepAndSkipsEmptyTokens)
{
    signInWithToken();
    gateway->faults().set(gatewayRevokePath, devstack::EndpointFault::withStatus(500));
    std::optional<bool> done;
    CheckBeforeLogin::shared().revokeApigeeAndOkta("GW-any", thisRefreshToken, defaultSessionHandle(),
        defaultSessionHandle(), [&] { done = true; });
    await(done);
    EXPECT_EQ(identityRequests(identityRevokePath).size(), 1u);

    bool completed = false;
    CheckBeforeLogin::shared().revokeApigeeAndOkta("", "", defaultSessionHandle(), defaultSessionHandle(),
        [&] { completed = true; });
    EXPECT_TRUE(completed);
    settle();
    EXPECT_EQ(gatewayRequests(gatewayRevokePath).size(), 1u);
    EXPECT_EQ(identityRequests(identityRevokePath).size(), 1u);
}

TEST_F(CheckBeforeLoginTest, TakingOverRevokesTheOtherPhoneAndWritesThisOne)
{
    signInWithToken();
    auto othersToken = otherPhonesToken();
    gateway->setServerKey(kimEmail, "OTHERDEV01 RT-other-phone-55aa " + othersToken);
    ASSERT_FALSE(check());

    std::optional<bool> done;
    CheckBeforeLogin::shared().revokeServerTokensAndSetCheck(CheckBeforeLogin::shared().serverApigeeAT,
        defaultSessionHandle(), defaultSessionHandle(), [&] { done = true; });
    await(done);

    EXPECT_EQ(gatewayRequests(gatewayRevokePath).at(0).header("Authorization"), "Bearer " + othersToken);
    EXPECT_TRUE(gateway->tokens().grant(othersToken)->revoked);
    EXPECT_EQ(identityRequests(identityRevokePath).at(0).param("token"), "RT-other-phone-55aa");
    // The new key goes out on the shared session, with this phone's token.
    auto write = gatewayRequests(setKeyPath).at(0);
    EXPECT_EQ(write.header("Authorization"), "Bearer " + *TokenManager::shared().currentGatewayToken());
    EXPECT_EQ(gateway->serverKey(kimEmail), localKey());
    EXPECT_EQ(check(), true);
}

TEST_F(CheckBeforeLoginTest, TakingOverBeforeAnyKeyWasReadOnlyWritesThisPhone)
{
    signInWithToken();
    std::optional<bool> done;
    CheckBeforeLogin::shared().revokeServerTokensAndSetCheck(CheckBeforeLogin::shared().serverApigeeAT,
        defaultSessionHandle(), defaultSessionHandle(), [&] { done = true; });
    await(done);
    settle();
    EXPECT_TRUE(gatewayRequests(gatewayRevokePath).empty());
    EXPECT_TRUE(identityRequests(identityRevokePath).empty());
    EXPECT_EQ(gateway->serverKey(kimEmail), localKey());
}

// Each chain goes on after an answer with a session that its caller released
// as soon as the call returned.
TEST_F(CheckBeforeLoginTest, AChainKeepsTheSessionsItGoesOnWith)
{
    signInWithToken();
    auto othersToken = otherPhonesToken();
    gateway->faults().set(getKeyPath, devstack::EndpointFault::reply(200, R"({"content":[]})"));
    std::optional<bool> registered;
    {
        std::shared_ptr<platform::HttpSession> session = makeAPISession();
        CheckBeforeLogin::shared().checkGetLogin(kimUserToken, session, [&](bool value) { registered = value; });
    }
    EXPECT_FALSE(await(registered));
    EXPECT_EQ(gatewayRequests(setKeyPath).size(), 1u);

    gateway->faults().clear(getKeyPath);
    gateway->setServerKey(kimEmail, "OTHERDEV01 RT-other-phone-55aa " + othersToken);
    ASSERT_FALSE(check());
    std::optional<bool> tookOver;
    CheckBeforeLogin::shared().revokeServerTokensAndSetCheck(othersToken, std::make_shared<platform::HttpSession>(),
        std::make_shared<platform::HttpSession>(), [&] { tookOver = true; });
    await(tookOver);
    EXPECT_EQ(identityRequests(identityRevokePath).size(), 1u);
    EXPECT_EQ(gateway->serverKey(kimEmail), localKey());

    std::optional<bool> signedOut;
    CheckBeforeLogin::shared().revokeApigeeAndOkta(*TokenManager::shared().currentGatewayToken(), thisRefreshToken,
        std::make_shared<platform::HttpSession>(), std::make_shared<platform::HttpSession>(), [&] { signedOut = true; });
    await(signedOut);
    EXPECT_EQ(identityRequests(identityRevokePath).size(), 2u);
}

} // namespace
} // namespace tolven
