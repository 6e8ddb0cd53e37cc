#include "lumitrex/Conn.h"

#include "common/LibrarySuite.h"
#include "crypto/AppIdCipher.h"

#include "devstack/cardissuer/CardIssuerService.h"
#include "devstack/server/testing/RunningService.h"
#include "devstack/server/testing/ScriptedService.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace lumitrex {
namespace {

std::string text(const Conn::Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

class ConnTest : public ::testing::Test {
protected:
    ConnTest() { env.setInfoValue("MobileCard Server URL", server.url()); }

    // The envelope of the last request the server received.
    nlohmann::json lastEnvelope() { return nlohmann::json::parse(server.requestLog().last()->body); }

    platform::TestEnvironment env;
    devstack::testing::RunningService<devstack::CardIssuerService> server;
};

TEST_F(ConnTest, UidRequestSendsTheEnvelopeAndKeepsTheAppIdentifier)
{
    env.setInfoValue("MobileCard Token", "T0K3N");
    env.setInfoValue("CFBundleShortVersionString", "2.3.1");
    auto answer = nlohmann::json::parse(text(Conn::uidRequest("", "12345678")));
    EXPECT_EQ(answer["header"]["result_code"], "0000");

    auto seen = *server.requestLog().last();
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.path, "/orvix/sdk/uidRequest");
    EXPECT_EQ(seen.header("Content-Type"), "application/json");
    EXPECT_EQ(seen.header("User-Agent"), "com.brantwick.tolven.tests");
    EXPECT_NE(seen.body.find("\n  "), std::string::npos) << "pretty-printed";

    auto envelope = lastEnvelope();
    std::string appId = encryptAppId("T0K3N|com.brantwick.tolven.tests", "1234567800000000");
    EXPECT_EQ(envelope["body"]["request"],
        (nlohmann::json { { "device_key", "" }, { "device_no", "12345678" }, { "appid", appId }, { "os_type", 2 } }));
    EXPECT_TRUE(envelope["body"]["response"].is_null());
    EXPECT_EQ(envelope["header"],
        (nlohmann::json { { "name", "uidRequest" }, { "version", "2.3.1" }, { "from", "Mobile" }, { "request_date", "2024-05-06 13:45:07" }, { "response_date", "" } }));
    EXPECT_EQ(librarySuite()->stringForKey("enc"), appId);

    Conn::cardList("1111");
    EXPECT_EQ(lastEnvelope()["body"]["request"]["appid"], appId);
}

TEST_F(ConnTest, AbsentDeviceNumberIsNullAndBothGivenStoreAnEmptyIdentifier)
{
    Conn::uidRequest("abcd", std::nullopt);
    auto request = lastEnvelope()["body"]["request"];
    EXPECT_TRUE(request["device_no"].is_null());
    EXPECT_EQ(request["appid"], encryptAppId("|com.brantwick.tolven.tests", "abcd000000000000"));

    Conn::uidRequest("abcd", "12345678");
    EXPECT_EQ(lastEnvelope()["body"]["request"]["appid"], "");
    EXPECT_EQ(librarySuite()->stringForKey("enc"), "");
}

TEST_F(ConnTest, AStoredValueThatIsNotTextIsNoIdentifier)
{
    for (auto stored : { platform::PlistValue(42), platform::PlistValue(true) }) {
        librarySuite()->setObject("enc", stored);
        Conn::cardList("1111");
        EXPECT_EQ(lastEnvelope()["body"]["request"]["appid"], "");
    }
}

TEST_F(ConnTest, EachOperationSendsItsMembersWithTheStoredIdentifier)
{
    struct Case {
        const char* name;
        std::function<Conn::Bytes()> call;
        nlohmann::json request;
    };
    const Case cases[] = {
        { "cardList", [] { return Conn::cardList("1111"); }, { { "uid", "1111" }, { "appid", "" } } },
        { "cardIssue", [] { return Conn::cardIssue("1111", "M1", "C9"); }, { { "uid", "1111" }, { "mid", "M1" }, { "cu_code", "C9" }, { "appid", "" } } },
        { "cardValidCheck", [] { return Conn::cardValidCheck("1111"); }, { { "uid", "1111" }, { "appid", "" } } },
        { "smsNumRequest", [] { return Conn::smsNumRequest("1111"); }, { { "uid", "1111" }, { "appid", "" } } },
        { "smsVerify", [] { return Conn::smsVerify("1111", "123456"); }, { { "uid", "1111" }, { "sms_no", "123456" }, { "appid", "" } } },
        { "acceptTerms", [] { return Conn::acceptTerms("1111"); }, { { "uid", "1111" }, { "terms_yn", "Y" }, { "privacy_yn", "Y" }, { "appid", "" } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto answer = nlohmann::json::parse(text(c.call()), nullptr, false);
        EXPECT_EQ(answer["header"]["result_code"], "0000");
        auto envelope = lastEnvelope();
        EXPECT_EQ(server.requestLog().last()->path, std::string("/orvix/sdk/") + c.name);
        EXPECT_EQ(envelope["header"]["name"], c.name);
        EXPECT_EQ(envelope["body"]["request"], c.request);
    }
}

TEST_F(ConnTest, ErrorPagesAreReturnedAndNoAnswerIsEmptyBytes)
{
    {
        devstack::testing::RunningService<devstack::testing::ScriptedService> failing;
        failing->reply("POST", "/orvix/sdk/cardList", 500, "{\"error\":\"down\"}");
        env.setInfoValue("MobileCard Server URL", failing.url() + "/");
        EXPECT_EQ(text(Conn::cardList("1111")), "{\"error\":\"down\"}");
    }
    // The service above has stopped: nothing listens on its port any more.
    EXPECT_TRUE(Conn::cardList("1111").empty());
}

} // namespace
} // namespace lumitrex
