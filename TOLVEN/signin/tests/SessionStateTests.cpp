#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/CheckBeforeLogin.h"
#include "TOLVEN/signin/GatewayConfiguration.h"
#include "TOLVEN/signin/TokenManager.h"
#include "TOLVEN/signin/URLList.h"
#include "TOLVEN/testing/SignInTesting.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tolven {
namespace {

TEST(URLListTest, DefaultsFollowTheConfiguredGatewayHost)
{
    platform::TestEnvironment env;
    env.setInfoValue(GatewayConfiguration::gatewayHostKey, "127.0.0.1:8443");
    URLList urls;
    EXPECT_EQ(urls.baseURL, "https://127.0.0.1:8443/etc-tolven-pub");
    EXPECT_EQ(urls.apigeeURL, "https://127.0.0.1:8443/oauth2/v1/token");
    EXPECT_EQ(urls.getUser, "/back/hr/employee/login-user-info");
    EXPECT_EQ(urls.getGate, "/back/gate/admin/gate_auth");
    EXPECT_EQ(urls.getNoti, "/back/hr/notice/list");
    EXPECT_EQ(urls.getNotiDetail, "/back/hr/notice/find-by-id/");
    EXPECT_EQ(urls.setInstall, "/back/auth/mobileid/confirm-install");
    EXPECT_EQ(urls.getParkingNumber, "/back/parking/parking/find-by-employee-number");
    EXPECT_EQ(urls.getCost, "/back/parking/cost/find");
    EXPECT_EQ(urls.orderRequest, "/cost/order-request");
    EXPECT_EQ(urls.mobileOrderRequest, "/back/parking/cost/order-mobile");
    EXPECT_EQ(urls.baseURL + urls.getNoti, "https://127.0.0.1:8443/etc-tolven-pub/back/hr/notice/list");
    EXPECT_EQ(CheckBeforeLogin::mobileIdBase(), "https://127.0.0.1:8443/etc-tolven-pub/back/auth/mobileid/");
}

TEST(URLListTest, WithoutConfigurationTheCompanyHostsAreUsed)
{
    platform::TestEnvironment env;
    EXPECT_EQ(URLList().baseURL, "https://apigw.brantwick.com/etc-tolven-pub");
    EXPECT_EQ(GatewayConfiguration::identityAddress(), "https://login.brantwick.com");
    env.setInfoValue(GatewayConfiguration::identityHostKey, "127.0.0.1:9443");
    EXPECT_EQ(GatewayConfiguration::identityAddress(), "https://127.0.0.1:9443");
}

TEST(AppSessionTest, StartsEmptyAndTheSeamEmptiesItAgain)
{
    platform::TestEnvironment env;
    testing::resetSigninSharedState();
    auto& session = AppSession::shared();
    for (auto* field : { &session.appToken, &session.email, &session.sabun, &session.name, &session.nameEng, &session.department,
             &session.rank, &session.expireDt, &session.phoneNum, &session.userToken, &session.accessToken })
        EXPECT_EQ(*field, "");
    session.userToken = "ut";
    testing::resetSigninSharedState();
    EXPECT_EQ(AppSession::shared().userToken, "");
}

TEST(ClientIdentifierTest, OneTwentyCharacterIdentifierIsShared)
{
    EXPECT_EQ(std::strlen(TokenManager::clientID), 20u);
    EXPECT_STREQ(TokenManager::clientID, CheckBeforeLogin::clientID);
}

} // namespace
} // namespace tolven
