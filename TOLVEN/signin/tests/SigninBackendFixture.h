#pragma once

#include "TOLVEN/signin/APISession.h"
#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/GatewayConfiguration.h"
#include "TOLVEN/signin/SignInWiring.h"
#include "TOLVEN/signin/TokenManager.h"
#include "TOLVEN/testing/SignInTesting.h"

#include "devstack/gateway/ApiGateway.h"
#include "devstack/server/testing/RunningService.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/net/HttpSession.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace tolven {

inline constexpr const char* kimEmail = "kim.minsu@brantwick.com";
inline constexpr const char* kimUserToken = "UT-kim-minsu-7f3a9c";
inline constexpr const char* thisDevice = "DEV7Kq2Lm9";
inline constexpr const char* thisRefreshToken = "RT-this-phone-0c1d2e3f";

inline const std::string exchangePath = "/oauth2/v1/token";
inline const std::string gatewayRevokePath = "/oauth2/v1/revoketoken";
inline const std::string identityRevokePath = "/oauth2/v1/revoke";
inline const std::string getKeyPath = "/etc-tolven-pub/back/auth/mobileid/get-key";
inline const std::string setKeyPath = "/etc-tolven-pub/back/auth/mobileid/set-key";
inline const std::string noticePath = "/etc-tolven-pub/back/hr/notice/list";

// The application against the devstack's identity provider and gateway, in
// virtual time that the gateway shares, with the console captured, wired as
// the application wires it at launch.
class SigninBackendTest : public ::testing::Test {
protected:
    SigninBackendTest()
    {
        env.setInfoValue(GatewayConfiguration::gatewayHostKey, gateway->hostAndPort());
        env.setInfoValue(GatewayConfiguration::identityHostKey, identity->hostAndPort());
        platform::setConsoleSinkForTesting([this](std::string_view line) {
            std::lock_guard lock(consoleMutex_);
            console_.emplace_back(line);
        });
        testing::resetSigninSharedState();
        connectGatewayTokenReports();
    }

    ~SigninBackendTest() override
    {
        settle();
        platform::setConsoleSinkForTesting({});
    }

    devstack::ApiGatewayOptions gatewayOptions()
    {
        devstack::ApiGatewayOptions options;
        options.now = [this] { return env.manualClock().now(); };
        options.verifyIdToken = devstack::ApiGateway::verifierFor(*identity);
        return options;
    }

    // An ID token the identity provider signed for `email`, valid for an hour of virtual time.
    std::string idTokenFor(const std::string& email)
    {
        auto now = std::chrono::duration_cast<std::chrono::seconds>(env.manualClock().now().time_since_epoch()).count();
        return identity->signer().sign(nlohmann::json { { "iss", identity->issuer() }, { "aud", TokenManager::clientID },
            { "email", email }, { "iat", now }, { "exp", now + 3600 } });
    }

    // The credential handed to the token manager, its refresh token stored
    // as the sign-in screen stores it, and this device's identifier.
    void signIn(const std::string& email = kimEmail)
    {
        platform::Token token;
        token.id = "token-1";
        token.tokenType = "Bearer";
        token.accessToken = "AT-okta-access-9a8b7c6d";
        token.refreshToken = thisRefreshToken;
        token.idToken = idTokenFor(email);
        TokenManager::shared().setCredential(std::make_shared<platform::Credential>(token));
        platform::UserDefaults::standard().setString("refreshToken", thisRefreshToken);
        AppSession::shared().appToken = thisDevice;
    }

    // As after the employee record: reports of the device key are sent from now on.
    void loadEmployee() { AppSession::shared().userToken = kimUserToken; }

    // Runs the main queue until `done` holds.
    void waitFor(const std::function<bool()>& done) { EXPECT_TRUE(env.runUntil(done)) << "the awaited work never finished"; }

    template<typename T>
    const T& await(const std::optional<T>& slot)
    {
        waitFor([&] { return slot.has_value(); });
        return *slot;
    }

    // Lets work still on its way (answers, reports, and the requests they
    // start in turn) land before counting: the main queue runs until neither
    // session has a request in flight and nothing is left to deliver.
    void settle()
    {
        auto quiet = [] { return apiSession()->requestsInFlight() == 0 && platform::defaultHttpSession().requestsInFlight() == 0; };
        do {
            waitFor(quiet);
            // A request leaves the count after its answer was queued here.
            env.runUntilIdle();
        } while (!quiet());
    }

    std::vector<devstack::RecordedRequest> gatewayRequests(const std::string& path) { return gateway.requestLog().forPath(path); }
    std::vector<devstack::RecordedRequest> identityRequests(const std::string& path) { return identity.requestLog().forPath(path); }

    std::vector<std::string> consoleLines()
    {
        std::lock_guard lock(consoleMutex_);
        return console_;
    }
    bool consoleHas(const std::string& line)
    {
        auto lines = consoleLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    bool consoleContains(const std::string& text)
    {
        auto lines = consoleLines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }

    platform::TestEnvironment env;
    devstack::testing::RunningService<devstack::IdentityProvider> identity;
    devstack::testing::RunningService<devstack::ApiGateway> gateway { gatewayOptions() };

private:
    std::mutex consoleMutex_;
    std::vector<std::string> console_;
};

} // namespace tolven
