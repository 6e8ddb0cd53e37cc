#include "TOLVEN/signin/CheckBeforeLogin.h"

#include "TOLVEN/signin/APISession.h"
#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/GatewayConfiguration.h"
#include "TOLVEN/signin/SecretMasking.h"
#include "TOLVEN/signin/ServerKey.h"
#include "TOLVEN/signin/SharedInstanceSlots.h"
#include "TOLVEN/signin/TokenManager.h"

#include "platform/foundation/Console.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/Utf8.h"

#include <vector>

namespace tolven {

namespace {

using platform::DispatchQueue;
using platform::HttpMethod;
using platform::UrlEncoding;

// Raw answers are printed behind their label, with the secrets they carry masked.
void printRaw(const char* label, const std::optional<std::string>& body)
{
    if (body && platform::isValidUtf8(*body))
        platform::console(label + maskServerKeys(*body));
}

std::string storedRefreshToken()
{
    return platform::UserDefaults::standard().stringForKey("refreshToken").value_or("");
}

std::string mobileIdAddress(const char* operation)
{
    auto base = CheckBeforeLogin::mobileIdBase();
    if (base.empty() || base.back() != '/')
        base += "/";
    return base + operation;
}

} // namespace

std::shared_ptr<CheckBeforeLogin>& detail::checkBeforeLoginSlot()
{
    static auto* slot = new std::shared_ptr<CheckBeforeLogin>(std::make_shared<CheckBeforeLogin>());
    return *slot;
}

CheckBeforeLogin& CheckBeforeLogin::shared()
{
    return *detail::checkBeforeLoginSlot();
}

std::string CheckBeforeLogin::mobileIdBase()
{
    return GatewayConfiguration::gatewayAddress() + "/etc-tolven-pub/back/auth/mobileid/";
}

void CheckBeforeLogin::checkGetLogin(const std::string& userToken, Session session, CheckCompletion completion)
{
    platform::HttpHeaderList headers { { "User-Agent", "brantwickMcard" }, { "User-Token", userToken }, { "Accept", "application/json" } };
    std::weak_ptr<CheckBeforeLogin> weakSelf = weak_from_this();
    session->requestWithParameters(mobileIdAddress("get-key"), HttpMethod::post(), std::nullopt, UrlEncoding::methodDependent, headers)
        ->validateStatus()
        .onDecodedResponse<APIResponse<std::string>>(
            DispatchQueue::main(),
            [weakSelf, session, completion](const platform::DataResponse<APIResponse<std::string>>& response) {
                if (auto self = weakSelf.lock())
                    self->handleGetKeyResponse(response, session, completion);
            },
            &APIResponse<std::string>::decode);
}

void CheckBeforeLogin::handleGetKeyResponse(const platform::DataResponse<APIResponse<std::string>>& response, Session session,
    CheckCompletion completion)
{
    printRaw("checkGetLogin raw:\n", response.data);
    if (!response.result) {
        const auto& error = response.result.error();
        if (response.response)
            platform::console("checkGetLogin 실패: " + error.description() + " (code=" + std::to_string(response.response->statusCode) + ") → 일단 통과");
        else
            platform::console("checkGetLogin 실패: " + error.description() + " → 일단 통과");
        completion(true);
        return;
    }
    const auto& content = response.result.value().content;
    if (content.empty()) {
        // No phone registered yet: this one becomes the registered phone.
        setCheck(AppSession::shared().appToken, storedRefreshToken(), TokenManager::shared().currentGatewayToken().value_or(""),
            std::move(session), [completion] { completion(false); });
        return;
    }
    auto parts = serverKeyParts(content.front());
    if (parts.size() < 3) {
        completion(false);
        return;
    }
    serverAppToken = parts[0];
    serverOktaRT = parts[1];
    serverApigeeAT = parts[2];
    completion(serverAppToken == AppSession::shared().appToken);
}

void CheckBeforeLogin::setCheck(const std::string& deviceID, const std::string& refreshToken, const std::string& gatewayToken,
    Session session)
{
    setCheck(deviceID, refreshToken, gatewayToken, std::move(session), nullptr);
}

void CheckBeforeLogin::setCheck(const std::string& deviceID, const std::string& refreshToken, const std::string& gatewayToken,
    Session session, Completion completion)
{
    if (AppSession::shared().userToken.empty()) {
        platform::console("setCheck: userToken empty → skip");
        if (completion)
            completion();
        return;
    }
    sendSetCheck(deviceID + " " + refreshToken + " " + gatewayToken, session, std::move(completion));
}

void CheckBeforeLogin::sendSetCheck(const std::string& value, const Session& session, Completion completion)
{
    platform::HttpHeaderList headers { { "User-Agent", "brantwickMcard" }, { "User-Token", AppSession::shared().userToken },
        { "Accept", "application/json" } };
    session->requestWithParameters(mobileIdAddress("set-key"), HttpMethod::post(), platform::Parameters { { "refreshToken", value } },
               UrlEncoding::queryString, headers)
        ->validateStatus()
        .onDataResponse(DispatchQueue::main(), [completion](const platform::DataResponse<std::string>& response) {
            printRaw("setCheck(form) raw:\n", response.data);
            if (!response.result && response.response && response.response->statusCode >= 500)
                platform::console("setCheck server 5xx → 무시하고 계속 진행");
            if (completion)
                completion();
        });
}

void CheckBeforeLogin::setCheckFromLocal(Completion completion)
{
    setCheck(AppSession::shared().appToken, storedRefreshToken(), TokenManager::shared().currentGatewayToken().value_or(""),
        apiSession(), std::move(completion));
}

void CheckBeforeLogin::sendOktaRevocation(const std::string& refreshToken, const Session& session, Completion then)
{
    platform::HttpHeaderList headers { { "Content-Type", "application/x-www-form-urlencoded" }, { "Accept", "application/json" } };
    platform::Parameters form { { "token", refreshToken }, { "token_type_hint", "refresh_token" }, { "client_id", clientID } };
    session->requestWithParameters(GatewayConfiguration::identityAddress() + "/oauth2/v1/revoke", HttpMethod::post(), form,
               UrlEncoding::httpBody, headers)
        ->onDataResponse(DispatchQueue::main(), [then](const platform::DataResponse<std::string>& response) {
            printRaw("revokeOkta raw:\n", response.data);
            then();
        });
}

void CheckBeforeLogin::revokeOkta(const std::string& refreshToken, Session session, Completion completion)
{
    if (refreshToken.empty()) {
        completion();
        return;
    }
    sendOktaRevocation(refreshToken, session, std::move(completion));
}

void CheckBeforeLogin::revokeOktaAndSetCheck(const std::string& refreshToken, Session session, Completion completion)
{
    if (refreshToken.empty()) {
        setCheckFromLocal(std::move(completion));
        return;
    }
    std::weak_ptr<CheckBeforeLogin> weakSelf = weak_from_this();
    sendOktaRevocation(refreshToken, session, [weakSelf, completion] {
        if (auto self = weakSelf.lock())
            self->setCheckFromLocal(completion);
    });
}

void CheckBeforeLogin::sendGatewayRevocation(const std::string& gatewayToken, const Session& session, Completion then)
{
    // The token travels only in "Authorization".
    platform::HttpHeaderList headers { { "Authorization", "Bearer " + gatewayToken },
        { "Content-Type", "application/x-www-form-urlencoded" }, { "Accept", "application/json" } };
    platform::Parameters form { { "client_id", clientID }, { "grant_type", "revoke_token" } };
    session->requestWithParameters(GatewayConfiguration::gatewayAddress() + "/oauth2/v1/revoketoken", HttpMethod::post(), form,
               UrlEncoding::httpBody, headers)
        ->onDataResponse(DispatchQueue::main(), [then](const platform::DataResponse<std::string>& response) {
            printRaw("revokeApigee raw:\n", response.data);
            then();
        });
}

void CheckBeforeLogin::revokeApigeeAndOkta(const std::string& gatewayToken, const std::string& refreshToken,
    Session gatewaySession, Session identitySession, Completion completion)
{
    if (gatewayToken.empty()) {
        revokeOkta(refreshToken, std::move(identitySession), std::move(completion));
        return;
    }
    std::weak_ptr<CheckBeforeLogin> weakSelf = weak_from_this();
    sendGatewayRevocation(gatewayToken, gatewaySession, [weakSelf, refreshToken, identitySession, completion] {
        if (auto self = weakSelf.lock())
            self->revokeOkta(refreshToken, identitySession, completion);
    });
}

void CheckBeforeLogin::revokeServerTokensAndSetCheck(const std::string& gatewayToken, Session gatewaySession, Session secondSession,
    Completion completion)
{
    if (gatewayToken.empty()) {
        revokeOktaAndSetCheck(serverOktaRT, std::move(secondSession), std::move(completion));
        return;
    }
    std::weak_ptr<CheckBeforeLogin> weakSelf = weak_from_this();
    sendGatewayRevocation(gatewayToken, gatewaySession, [weakSelf, secondSession, completion] {
        // The refresh token as read by now: a key read meanwhile wins.
        if (auto self = weakSelf.lock())
            self->revokeOktaAndSetCheck(self->serverOktaRT, secondSession, completion);
    });
}

} // namespace tolven
