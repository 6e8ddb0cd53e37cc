#include "devstack/cardissuer/CardIssuerService.h"

#include "platform/foundation/Clock.h"
#include "platform/net/JsonParsing.h"

#include <chrono>
#include <ctime>
#include <functional>
#include <vector>

namespace devstack {

namespace {

const std::vector<std::string> kOperations { "uidRequest", "cardList", "cardIssue", "cardValidCheck", "smsNumRequest", "smsVerify", "acceptTerms" };

// The members each operation's request object must carry as text.
const std::map<std::string, std::vector<std::string>> kTextMembers {
    { "uidRequest", { "appid" } },
    { "cardList", { "uid", "appid" } },
    { "cardIssue", { "uid", "mid", "cu_code", "appid" } },
    { "cardValidCheck", { "uid", "appid" } },
    { "smsNumRequest", { "uid", "appid" } },
    { "smsVerify", { "uid", "sms_no", "appid" } },
    { "acceptTerms", { "uid", "terms_yn", "privacy_yn", "appid" } },
};

// On the platform clock, so that answers carry a test's virtual time.
std::string now()
{
    std::time_t seconds = std::chrono::system_clock::to_time_t(platform::clock().now());
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

bool isText(const nlohmann::json& object, const char* key)
{
    return object.contains(key) && object[key].is_string();
}

// Why `envelope` is not the library's envelope for `operation`; empty when it is.
std::string envelopeProblem(const nlohmann::json& envelope, const std::string& operation)
{
    if (!envelope.is_object())
        return "the envelope is not a JSON object";
    if (!envelope.contains("body") || !envelope["body"].is_object())
        return "\"body\" must be an object";
    const auto& body = envelope["body"];
    if (!body.contains("request") || !body["request"].is_object())
        return "\"body.request\" must be an object";
    if (!body.contains("response") || !body["response"].is_null())
        return "\"body.response\" must be null";
    if (!envelope.contains("header") || !envelope["header"].is_object())
        return "\"header\" must be an object";
    const auto& header = envelope["header"];
    for (const char* key : { "name", "version", "from", "request_date", "response_date" }) {
        if (!isText(header, key))
            return std::string("\"header.") + key + "\" must be text";
    }
    if (header["name"] != operation)
        return "\"header.name\" must be \"" + operation + "\"";
    if (header["from"] != "Mobile")
        return "\"header.from\" must be \"Mobile\"";
    const auto& request = body["request"];
    for (const auto& key : kTextMembers.at(operation)) {
        if (!isText(request, key.c_str()))
            return "\"body.request." + key + "\" must be text";
    }
    if (operation == "uidRequest") {
        for (const char* key : { "device_key", "device_no" }) {
            if (!request.contains(key) || !(request[key].is_string() || request[key].is_null()))
                return std::string("\"body.request.") + key + "\" must be text or null";
        }
        if (request.value("os_type", nlohmann::json()) != 2)
            return "\"body.request.os_type\" must be 2";
    }
    return {};
}

nlohmann::json answerHeader(const nlohmann::json& header, const std::string& name, const std::string& code, const std::string& message)
{
    nlohmann::json answer = header.is_object() ? header : nlohmann::json::object();
    answer["name"] = name;
    answer["response_date"] = now();
    answer["result_code"] = code;
    answer["result_msg"] = message;
    return answer;
}

} // namespace

CardIssuerService::CardIssuerService()
    : HttpsService("cardissuer")
{
}

std::string CardIssuerService::cardNumberFor(const std::string& device)
{
    std::string digits = std::to_string(std::hash<std::string> {}(device) % 10000000000000000ULL);
    return std::string(16 - digits.size(), '0') + digits;
}

std::optional<std::string> CardIssuerService::smsCodeFor(const std::string& uid) const
{
    std::lock_guard lock(mutex_);
    auto found = smsCodes_.find(uid);
    if (found == smsCodes_.end())
        return std::nullopt;
    return found->second;
}

void CardIssuerService::installRoutes(httplib::Server& server)
{
    for (const auto& operation : kOperations) {
        server.Post("/orvix/sdk/" + operation, [this, operation](const httplib::Request& request, httplib::Response& response) {
            nlohmann::json envelope = platform::parseJsonOrDiscarded(request.body);
            nlohmann::json header = envelope.is_object() && envelope.contains("header") ? envelope["header"] : nlohmann::json::object();
            std::string problem = envelopeProblem(envelope, operation);
            nlohmann::json result;
            if (problem.empty())
                result = answer(operation, envelope["body"]["request"], problem);
            if (!problem.empty()) {
                replyJson(response, 400, nlohmann::json { { "header", answerHeader(header, operation, "E400", "bad request") }, { "message", problem } }.dump());
                return;
            }
            nlohmann::json body { { "request", envelope["body"]["request"] }, { "response", result } };
            replyJson(response, 200, nlohmann::json { { "header", answerHeader(header, operation, "0000", "OK") }, { "body", body } }.dump());
        });
    }
}

nlohmann::json CardIssuerService::answer(const std::string& operation, const nlohmann::json& request, std::string& problem)
{
    std::lock_guard lock(mutex_);
    if (operation == "uidRequest") {
        const auto& key = request["device_key"];
        const auto& number = request["device_no"];
        std::string device = (key.is_string() ? key.get<std::string>() : "") + "/" + (number.is_string() ? number.get<std::string>() : "");
        return { { "uid", cardNumberFor(device) } };
    }
    std::string uid = request["uid"];
    if (operation == "cardList") {
        nlohmann::json cards = nlohmann::json::array();
        for (const auto& mid : cardsByUid_[uid])
            cards.push_back({ { "uid", uid }, { "mid", mid }, { "status", "ACTIVE" } });
        return { { "cards", cards } };
    }
    if (operation == "cardIssue") {
        cardsByUid_[uid].insert(request["mid"].get<std::string>());
        return { { "uid", uid }, { "mid", request["mid"] }, { "cu_code", request["cu_code"] }, { "issued", true } };
    }
    if (operation == "cardValidCheck")
        return { { "uid", uid }, { "valid", !cardsByUid_[uid].empty() } };
    if (operation == "smsNumRequest") {
        std::string code = std::to_string(100000 + (++smsCounter_ * 7919) % 900000);
        smsCodes_[uid] = code;
        return { { "uid", uid }, { "sent", true } };
    }
    if (operation == "smsVerify") {
        auto found = smsCodes_.find(uid);
        return { { "uid", uid }, { "verified", found != smsCodes_.end() && found->second == request["sms_no"] } };
    }
    if (request["terms_yn"] != "Y" || request["privacy_yn"] != "Y") {
        problem = "the terms must be accepted with \"Y\"";
        return {};
    }
    acceptedTerms_.insert(uid);
    return { { "uid", uid }, { "accepted", true } };
}

} // namespace devstack
