#include "TOLVEN/home/PayCallbackRouter.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

using tolven::PayCallback;
using tolven::PayCallbackRouter;
using Status = PayCallback::Status;

namespace {

struct Expected {
    bool accepted;
    Status status = Status::unknown;
    std::optional<std::string> orderId = std::nullopt;
    std::optional<std::string> transactionId = std::nullopt;
    std::optional<std::string> resultCode = std::nullopt;
    std::optional<std::string> message = std::nullopt;
    std::string rawURL = "";
};

struct Case {
    const char* url;
    std::optional<std::string> storedState;
    Expected expected;
};

struct PayCallbackRouterTest : ::testing::Test {
    PayCallbackRouterTest()
    {
        observer = platform::NotificationCenter::defaultCenter().addObserver(PayCallbackRouter::notificationName,
            [this](const platform::Notification& notification) {
                EXPECT_TRUE(notification.userInfo.empty());
                posted.push_back(std::any_cast<PayCallback>(notification.object));
            });
    }
    ~PayCallbackRouterTest() override { platform::NotificationCenter::defaultCenter().removeObserver(observer); }

    platform::TestEnvironment env;
    platform::NotificationCenter::Token observer;
    std::vector<PayCallback> posted;
};

} // namespace

TEST_F(PayCallbackRouterTest, AcceptsOnlyItsSchemeAndHostsAndReadsTheFirstItemOfEachName)
{
    const std::string hangul = "결제 완료";
    const Case cases[] = {
        { "tolven://pay-callback?status=SUCCESS&oid=7", {}, { true, Status::success, "7" } },
        { "TOLVEN://result?result=cancel", {}, { true, Status::cancel } },
        { "Tolven://payment?result=fail&code=E1&resultCode=E2", {}, { true, Status::fail, {}, {}, "E1" } },
        { "tolven://Result?result=success", {}, { false } },
        { "tolven:?result=success", {}, { true, Status::success } },
        { "tolven:///any/path?result=success", {}, { true, Status::success } },
        { "tolvenapp://main", {}, { false } },
        { "https://payment?result=success", {}, { false } },
        { "not an address", {}, { false } },
        { "tolven://payment?result&status=fail", {}, { true, Status::fail } },
        { "tolven://payment?result=&status=fail", {}, { true, Status::unknown } },
        { "tolven://payment?orderId&orderId=5&merchant_uid=9", {}, { true, Status::unknown, "9" } },
        { "tolven://payment?oid=3&merchant_uid=2&orderId=1", {}, { true, Status::unknown, "1" } },
        { "tolven://payment?tid=&txId=8", {}, { true, Status::unknown, {}, "" } },
        { "tolven://payment?transactionId=t3&txId=t2", {}, { true, Status::unknown, {}, "t2" } },
        { "tolven://payment?status=Done", {}, { true, Status::unknown } },
        { "tolven://payment?msg=%EA%B2%B0%EC%A0%9C%20%EC%99%84%EB%A3%8C&message=x", {}, { true, Status::unknown, {}, {}, {}, hangul } },
        { "tolven://payment?message=a+b", {}, { true, Status::unknown, {}, {}, {}, "a+b" } },
        { "tolven://payment?state=abc&result=success", {}, { true, Status::success } },
        { "tolven://payment?state=abc&result=success", "abc", { true, Status::success } },
        { "tolven://payment?state&result=success", "abc", { true, Status::success } },
        { "tolven://payment?state=abc&result=success&oid=4", "xyz", { true, Status::fail, {}, {}, {}, "Invalid state", "tolven://internal" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        if (c.storedState)
            platform::UserDefaults::standard().setString(PayCallbackRouter::stateKey, *c.storedState);
        else
            platform::UserDefaults::standard().removeObject(PayCallbackRouter::stateKey);
        posted.clear();

        EXPECT_EQ(PayCallbackRouter::shared().handleCallbackURL(c.url), c.expected.accepted);
        if (!c.expected.accepted) {
            EXPECT_TRUE(posted.empty());
            continue;
        }
        ASSERT_EQ(posted.size(), 1u);
        const auto& callback = posted[0];
        EXPECT_EQ(callback.status, c.expected.status);
        EXPECT_EQ(callback.orderId, c.expected.orderId);
        EXPECT_EQ(callback.transactionId, c.expected.transactionId);
        EXPECT_EQ(callback.resultCode, c.expected.resultCode);
        EXPECT_EQ(callback.message, c.expected.message);
        EXPECT_EQ(callback.rawURL, c.expected.rawURL.empty() ? std::string(c.url) : c.expected.rawURL);
    }
}

TEST(PayCallbackStatus, IsMadeOnlyFromItsExactRawText)
{
    EXPECT_EQ(PayCallback::statusFromRawValue("success"), Status::success);
    EXPECT_EQ(PayCallback::statusFromRawValue("cancel"), Status::cancel);
    EXPECT_EQ(PayCallback::statusFromRawValue("Success"), Status::unknown);
    EXPECT_EQ(PayCallback::statusFromRawValue(""), Status::unknown);
    EXPECT_EQ(PayCallback::rawValue(Status::fail), "fail");
}
