#include "devstack/cardissuer/CardIssuerService.h"
#include "devstack/server/testing/RunningService.h"

#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/net/CertificateAuthorities.h"
#include "platform/net/HttpSession.h"

#include <gtest/gtest.h>

namespace devstack {
namespace {

class CardIssuerServiceTest : public ::testing::Test {
protected:
    static nlohmann::json envelope(const std::string& name, nlohmann::json request)
    {
        return { { "body", { { "request", std::move(request) }, { "response", nullptr } } },
            { "header", { { "name", name }, { "version", "1.0" }, { "from", "Mobile" }, { "request_date", "2024-05-06 13:45:07" }, { "response_date", "" } } } };
    }

    std::pair<int, nlohmann::json> post(const std::string& name, const nlohmann::json& body)
    {
        std::optional<platform::DataResponse<nlohmann::json>> answer;
        session.requestWithEncodable(server.url("/orvix/sdk/" + name), platform::HttpMethod::post(), body, platform::ParameterEncoder::json)
            ->onJSONResponse(platform::DispatchQueue::main(), [&](const auto& response) { answer = response; });
        EXPECT_TRUE(env.runUntil([&] { return answer.has_value(); }));
        EXPECT_TRUE(answer->result.isSuccess());
        return { answer->response->statusCode, answer->result.isSuccess() ? answer->result.value() : nlohmann::json() };
    }

    platform::TestEnvironment env;
    testing::RunningService<CardIssuerService> server;
    platform::HttpSession session;
};

TEST_F(CardIssuerServiceTest, AnswersTheOperationsOfAWellFormedEnvelope)
{
    auto [status, uid] = post("uidRequest", envelope("uidRequest", { { "device_key", "" }, { "device_no", "12345678" }, { "appid", "x" }, { "os_type", 2 } }));
    EXPECT_EQ(status, 200);
    EXPECT_EQ(uid["header"]["result_code"], "0000");
    std::string card = uid["body"]["response"]["uid"];
    EXPECT_EQ(card.size(), 16u);

    post("cardIssue", envelope("cardIssue", { { "uid", card }, { "mid", "00000000000000A1" }, { "cu_code", "C1" }, { "appid", "x" } }));
    auto [listStatus, list] = post("cardList", envelope("cardList", { { "uid", card }, { "appid", "x" } }));
    EXPECT_EQ(list["body"]["response"]["cards"].size(), 1u);

    post("smsNumRequest", envelope("smsNumRequest", { { "uid", card }, { "appid", "x" } }));
    auto code = server->smsCodeFor(card);
    ASSERT_TRUE(code);
    auto [wrongStatus, wrong] = post("smsVerify", envelope("smsVerify", { { "uid", card }, { "sms_no", "000000" }, { "appid", "x" } }));
    EXPECT_EQ(wrong["body"]["response"]["verified"], false);
    auto [rightStatus, right] = post("smsVerify", envelope("smsVerify", { { "uid", card }, { "sms_no", *code }, { "appid", "x" } }));
    EXPECT_EQ(right["body"]["response"]["verified"], true);
}

TEST_F(CardIssuerServiceTest, RefusesBadEnvelopesWithA400JsonError)
{
    auto good = envelope("cardList", { { "uid", "1" }, { "appid", "" } });
    struct Case {
        const char* name;
        nlohmann::json body;
    };
    auto without = [&](const nlohmann::json::json_pointer& pointer) {
        auto copy = good;
        copy.at(pointer.parent_pointer()).erase(pointer.back());
        return copy;
    };
    auto with = [&](const nlohmann::json::json_pointer& pointer, nlohmann::json value) {
        auto copy = good;
        copy[pointer] = std::move(value);
        return copy;
    };
    const Case cases[] = {
        { "not an object", nlohmann::json::array() },
        { "no header", without("/header"_json_pointer) },
        { "no request_date", without("/header/request_date"_json_pointer) },
        { "wrong name", with("/header/name"_json_pointer, "cardIssue") },
        { "wrong from", with("/header/from"_json_pointer, "Web") },
        { "response not null", with("/body/response"_json_pointer, nlohmann::json::object()) },
        { "uid not text", with("/body/request/uid"_json_pointer, 5) },
        { "no appid", without("/body/request/appid"_json_pointer) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto [status, answer] = post("cardList", c.body);
        EXPECT_EQ(status, 400);
        EXPECT_EQ(answer["header"]["result_code"], "E400");
        EXPECT_TRUE(answer["message"].is_string());
    }
}

TEST_F(CardIssuerServiceTest, DeeplyNestedEnvelopeIsRefusedAndTheServerLivesOn)
{
    httplib::Client client(server.url());
    client.set_ca_cert_path(platform::extraCertificateAuthorityFile()->string());
    std::string deep = R"({"header":)" + std::string(100000, '[') + std::string(100000, ']') + R"(,"body":{}})";
    auto refused = client.Post("/orvix/sdk/cardList", deep, "application/json");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 400);

    auto [status, answer] = post("uidRequest", envelope("uidRequest", { { "device_key", "" }, { "device_no", "1" }, { "appid", "x" }, { "os_type", 2 } }));
    EXPECT_EQ(status, 200);
}

} // namespace
} // namespace devstack
