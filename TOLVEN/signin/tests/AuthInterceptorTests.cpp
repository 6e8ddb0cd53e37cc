#include "SigninBackendFixture.h"

#include "TOLVEN/signin/APISession.h"
#include "TOLVEN/signin/AuthInterceptor.h"
#include "TOLVEN/signin/BackendServices.h"

namespace tolven {
namespace {

class AuthInterceptorTest : public SigninBackendTest {
protected:
    std::optional<platform::DataResponse<std::string>> send(platform::HttpHeaderList headers)
    {
        std::optional<platform::DataResponse<std::string>> answer;
        apiSession()
            ->requestWithParameters(URLList().baseURL + URLList().getNoti, platform::HttpMethod::get(), platform::Parameters { { "type", "MOBILE" } },
                platform::UrlEncoding::queryString, std::move(headers))
            ->validateStatus()
            .onDataResponse(platform::DispatchQueue::main(), [&](const auto& response) { answer = response; });
        await(answer);
        return answer;
    }
};

TEST_F(AuthInterceptorTest, SetsTheTokenAndClientHeadersAndKeepsTheCallersOthers)
{
    signIn();
    auto answer = send({ { "User-Agent", "Custom/1.0" }, { "Accept", "application/json" }, { "User-Token", "" }, { "X-Trace", "t-1" } });
    ASSERT_TRUE(answer->result.isSuccess());
    // The server does not record empty values, so the empty one is read from the request as sent.
    EXPECT_EQ(answer->request->headers.value("User-Token"), "");
    auto seen = gatewayRequests(noticePath).at(0);
    EXPECT_EQ(seen.header("Authorization"), "Bearer " + *TokenManager::shared().currentGatewayToken());
    EXPECT_EQ(seen.header("User-Agent"), "brantwickMcard");
    EXPECT_EQ(seen.header("Accept"), "application/json");
    EXPECT_EQ(seen.header("X-Trace"), "t-1");
    EXPECT_TRUE(seen.header("Accept-Language"));

    // Nothing stored under "userToken": no header of the interceptor's own.
    ASSERT_TRUE(send({})->result.isSuccess());
    EXPECT_EQ(gatewayRequests(noticePath).at(1).header("User-Token"), std::nullopt);

    platform::UserDefaults::standard().setString("userToken", "UT-from-defaults");
    ASSERT_TRUE(send({ { "User-Token", "UT-callers" } })->result.isSuccess());
    EXPECT_EQ(gatewayRequests(noticePath).at(2).header("User-Token"), "UT-from-defaults");
}

TEST_F(AuthInterceptorTest, OnlyA401IsRetriedAndAtMostTwice)
{
    struct Case {
        const char* name;
        devstack::EndpointFault fault;
        std::size_t sends;
        bool succeeds;
    };
    const Case cases[] = {
        { "one 401, then fine", devstack::EndpointFault::withStatus(401, 1), 2, true },
        { "two 401s, then fine", devstack::EndpointFault::withStatus(401, 2), 3, true },
        { "401 for ever", devstack::EndpointFault::withStatus(401), 3, false },
        { "403", devstack::EndpointFault::withStatus(403), 1, false },
        { "500", devstack::EndpointFault::withStatus(500), 1, false },
        { "html", devstack::EndpointFault::notJson(), 1, false },
    };
    signIn();
    std::size_t exchanges = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exchanges += gatewayRequests(exchangePath).size();
        gateway.requestLog().clear();
        gateway->faults().set(noticePath, c.fault);
        auto answer = send({ { "Accept", "application/json" } });
        EXPECT_EQ(answer->result.isSuccess(), c.succeeds);
        auto sent = gatewayRequests(noticePath);
        ASSERT_EQ(sent.size(), c.sends);
        // A still valid token is sent again as it was.
        for (const auto& request : sent)
            EXPECT_EQ(request.header("Authorization"), sent.front().header("Authorization"));
        gateway->faults().clearAll();
    }
    EXPECT_EQ(exchanges + gatewayRequests(exchangePath).size(), 1u);
}

TEST_F(AuthInterceptorTest, A401AfterTheTokenWentStaleRetriesWithANewToken)
{
    signIn();
    ASSERT_TRUE(send({})->result.isSuccess());
    auto first = *TokenManager::shared().currentGatewayToken();
    env.fastForwardBy(std::chrono::seconds(3540));
    // The token is stale now; adapting renews it, so the 401 comes with the new one.
    gateway->faults().set(noticePath, devstack::EndpointFault::withStatus(401, 1));
    ASSERT_TRUE(send({})->result.isSuccess());
    EXPECT_EQ(gatewayRequests(exchangePath).size(), 2u);
    EXPECT_NE(*TokenManager::shared().currentGatewayToken(), first);
}

TEST_F(AuthInterceptorTest, AFailedAdaptationNeverReachesTheNetwork)
{
    signIn();
    gateway->faults().set(exchangePath, devstack::EndpointFault::withStatus(400));
    auto answer = send({});
    ASSERT_FALSE(answer->result.isSuccess());
    EXPECT_EQ(answer->result.error().kind(), platform::HttpClientError::Kind::adaptationFailed);
    EXPECT_EQ(answer->result.error().underlyingError()->domain, "HttpClientError");
    EXPECT_TRUE(gatewayRequests(noticePath).empty());
    EXPECT_EQ(apiSession()->configuration().timeoutIntervalForRequest, std::chrono::seconds(30));
}

} // namespace
} // namespace tolven
