#include "devstack/gateway/ApiGateway.h"
#include "devstack/gateway/SampleJpeg.h"

#include "devstack/server/testing/RunningService.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/net/CertificateAuthorities.h"

#include <gtest/gtest.h>

namespace devstack {
namespace {

using nlohmann::json;
using std::chrono::seconds;

class ApiGatewayTest : public ::testing::Test {
protected:
    ApiGatewayOptions options()
    {
        ApiGatewayOptions options;
        options.now = [this] { return env.manualClock().now(); };
        options.verifyIdToken = ApiGateway::verifierFor(*identity);
        return options;
    }

    httplib::Client client()
    {
        httplib::Client client(gateway.url());
        client.set_ca_cert_path(platform::extraCertificateAuthorityFile()->string());
        client.enable_server_certificate_verification(true);
        return client;
    }

    std::string idToken(const std::string& email, seconds lifetime = seconds(3600), const std::string& audience = IdentityProvider::defaultClientId)
    {
        auto now = std::chrono::duration_cast<seconds>(env.manualClock().now().time_since_epoch()).count();
        return identity->signer().sign(json { { "iss", identity->issuer() }, { "aud", audience }, { "email", email },
            { "iat", now }, { "exp", now + lifetime.count() } });
    }

    httplib::Result exchange(const std::string& token, const std::string& basic = "MG9hMWJyYW50d2lja3RvbHZlbjE6MG9hMWJyYW50d2lja3RvbHZlbjE=")
    {
        return client().Post("/oauth2/v1/token", httplib::Headers { { "Authorization", "Basic " + basic } },
            httplib::Params { { "grant_type", "okta_id_token" }, { "okta_id_token", token } });
    }

    std::string gatewayToken(const std::string& email)
    {
        auto answer = exchange(idToken(email));
        EXPECT_EQ(answer->status, 200) << answer->body;
        return json::parse(answer->body)["access_token"];
    }

    httplib::Result get(const std::string& path, const std::string& token, httplib::Headers headers = {})
    {
        headers.emplace("Authorization", "Bearer " + token);
        return client().Get(std::string(ApiGateway::basePath) + path, headers);
    }

    platform::TestEnvironment env;
    testing::RunningService<IdentityProvider> identity;
    testing::RunningService<ApiGateway> gateway { options() };
};

TEST_F(ApiGatewayTest, ExchangesOnlyUnexpiredIdTokensOfTheIdentityProviderForTheClient)
{
    auto answer = exchange(idToken("kim.minsu@brantwick.com"));
    ASSERT_EQ(answer->status, 200);
    auto token = json::parse(answer->body);
    EXPECT_EQ(token["token_type"], "Bearer");
    EXPECT_EQ(token["expires_in"], 3600);

    TokenSigner stranger;
    struct Case {
        const char* name;
        httplib::Result answer;
        int status;
    };
    const std::string expired = idToken("kim.minsu@brantwick.com", seconds(30));
    env.fastForwardBy(seconds(30));
    Case cases[] = {
        { "expired by the gateway's clock", exchange(expired), 400 },
        { "another client's token", exchange(idToken("kim.minsu@brantwick.com", seconds(3600), "other-client")), 400 },
        { "not signed by the provider", exchange(stranger.sign(json { { "aud", IdentityProvider::defaultClientId }, { "email", "x@y" }, { "exp", 4102444800 } })), 400 },
        { "not a token", exchange("garbage"), 400 },
        { "wrong client credential", exchange(idToken("kim.minsu@brantwick.com"), "b3RoZXI6b3RoZXI="), 401 },
        // Beyond the year 2262, where nanoseconds since 1970 no longer fit 64 bits.
        { "expiring in the year 3270", exchange(idToken("kim.minsu@brantwick.com", seconds(41021444800 - 1714970000))), 200 },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.answer->status, c.status) << c.answer->body;
    }
    EXPECT_EQ(gateway->tokens().issuedCount(), 2u);
}

TEST_F(ApiGatewayTest, BackendCallsNeedAKnownLiveToken)
{
    auto token = gatewayToken("kim.minsu@brantwick.com");
    EXPECT_EQ(get("/back/hr/notice/list?type=MOBILE", token)->status, 200);
    EXPECT_EQ(get("/back/hr/notice/list?type=MOBILE", "unknown")->status, 401);
    EXPECT_EQ(client().Get(std::string(ApiGateway::basePath) + "/back/hr/notice/list")->status, 401);

    gateway->setTokenLifetime(seconds(30));
    auto shortLived = gatewayToken("kim.minsu@brantwick.com");
    env.fastForwardBy(seconds(29));
    EXPECT_EQ(get("/back/hr/notice/list", shortLived)->status, 200);
    env.fastForwardBy(seconds(1));
    EXPECT_EQ(get("/back/hr/notice/list", shortLived)->status, 401);

    auto revoked = client().Post("/oauth2/v1/revoketoken", httplib::Headers { { "Authorization", "Bearer " + token } },
        httplib::Params { { "client_id", IdentityProvider::defaultClientId }, { "grant_type", "revoke_token" } });
    EXPECT_EQ(revoked->status, 200);
    EXPECT_EQ(get("/back/hr/notice/list", token)->status, 401);
}

TEST_F(ApiGatewayTest, EmployeeRecordFollowsTheLoginTokensEmail)
{
    auto token = gatewayToken("kim.minsu@brantwick.com");
    auto record = get("/back/hr/employee/login-user-info", token, { { "login-token", idToken("lee.jiwoo@skyline-air.co.kr") } });
    ASSERT_EQ(record->status, 200);
    auto item = json::parse(record->body)["content"][0];
    EXPECT_EQ(item["emp"], "70020417");
    EXPECT_EQ(item["userToken"], "UT-lee-jiwoo-41b2d8");

    auto employee = json::parse(get("/back/hr/employee/login-user-info", token, { { "login-token", idToken("kim.minsu@brantwick.com") } })->body);
    std::string address = employee["content"][0]["employeeLoginInfo"]["mobileId"]["image"][0]["downloadUrl"];
    EXPECT_EQ(address, gateway.url("/etc-tolven-pub/back/common/file/download"));

    EXPECT_EQ(get("/back/hr/employee/login-user-info", token, { { "login-token", idToken("park.unassigned@brantwick.com") } })->status, 403);
    EXPECT_EQ(get("/back/hr/employee/login-user-info", token)->status, 401);
}

TEST_F(ApiGatewayTest, PhotoIsAJpegAndFaultsCanBeSwitchedOn)
{
    auto token = gatewayToken("kim.minsu@brantwick.com");
    auto photo = get("/back/common/file/download?id=1001", token);
    ASSERT_EQ(photo->status, 200);
    EXPECT_EQ(photo->get_header_value("Content-Type"), "image/jpeg");
    EXPECT_EQ(photo->body, sampleJpeg());
    EXPECT_EQ(photo->body.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(photo->body.substr(photo->body.size() - 2), "\xFF\xD9");

    gateway->faults().set("/etc-tolven-pub/back/hr/notice/list", EndpointFault::withStatus(500, 1));
    EXPECT_EQ(get("/back/hr/notice/list?type=MOBILE", token)->status, 500);
    EXPECT_EQ(get("/back/hr/notice/list?type=MOBILE", token)->status, 200);
    gateway->faults().set("/etc-tolven-pub/back/hr/notice/list", EndpointFault::notJson());
    EXPECT_EQ(get("/back/hr/notice/list?type=MOBILE", token)->body, "<html>maintenance</html>");
}

TEST_F(ApiGatewayTest, FeeOrderTotalsTheCostsAndRefusesTotalsThatDoNotFit)
{
    auto token = gatewayToken("kim.minsu@brantwick.com");
    auto order = [&](const std::vector<json>& costs) {
        json rows = json::array();
        for (const auto& cost : costs)
            rows.push_back({ { "carNumber", "12가3456" }, { "cost", cost }, { "parkingMonth", 5 }, { "parkingYear", 2024 },
                { "parkingCount", 20 }, { "parkingLotCode", "P3" } });
        json body { { "employeeNumber", "20190123" }, { "costDataList", rows } };
        return client().Post(std::string(ApiGateway::basePath) + "/back/parking/cost/order-mobile",
            httplib::Headers { { "Authorization", "Bearer " + token } }, body.dump(), "application/json");
    };

    auto accepted = order({ 50000, 30000, 0 });
    ASSERT_EQ(accepted->status, 200) << accepted->body;
    EXPECT_EQ(json::parse(accepted->body)["content"][0]["amt"], 80000);
    EXPECT_EQ(order({ INT64_MAX })->status, 200);

    struct Case {
        const char* name;
        std::vector<json> costs;
    };
    const Case refused[] = {
        { "negative cost", { 50000, -1 } },
        { "total past the signed range", { INT64_MAX, 1 } },
        { "unsigned beyond the signed range", { UINT64_MAX } },
        { "fraction", { 1.5 } },
        { "text", { "50000" } },
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(order(c.costs)->status, 400);
    }
}

} // namespace
} // namespace devstack
