#pragma once

#include "TOLVEN/signin/records/APIResponse.h"

#include "platform/net/HttpSession.h"

#include <functional>
#include <memory>
#include <string>

namespace tolven {

// Keeps one registered phone per employee. The backend stores a server key
// per employee: the registered phone's device identifier, identity-provider
// refresh token and gateway token, joined by single spaces. This reads it
// after each sign-in, writes it for each new gateway token and at
// re-registration, and revokes the other phone's tokens (taking over) or this
// phone's (signing out).
//
// Every operation returns at once; answers are handled on the main queue,
// and a pending request holds the instance weakly. A chain holds the sessions
// it goes on with, so a caller may release one before its answers arrive. No
// operation retries.
class CheckBeforeLogin : public std::enable_shared_from_this<CheckBeforeLogin> {
public:
    // true: this phone is the registered one, or the check itself failed;
    // false: another phone, or none, is registered.
    using CheckCompletion = std::function<void(bool)>;
    using Completion = std::function<void()>;
    using Session = std::shared_ptr<platform::HttpSession>;

    // The same public identifier as TokenManager::clientID.
    static constexpr const char* clientID = "0oa1brantwicktolven1";

    static CheckBeforeLogin& shared();

    // The parts of the last server key read with three or more parts.
    std::string serverAppToken;
    std::string serverOktaRT;
    std::string serverApigeeAT;

    // Reads the server key; a failed read lets the phone through, an empty
    // list registers this phone first.
    void checkGetLogin(const std::string& userToken, Session session, CheckCompletion completion);

    // Writes the server key; skipped while AppSession's user token is empty.
    // The completion runs once whatever the answer.
    void setCheck(const std::string& deviceID, const std::string& refreshToken, const std::string& gatewayToken,
        Session session);
    void setCheck(const std::string& deviceID, const std::string& refreshToken, const std::string& gatewayToken,
        Session session, Completion completion);
    // setCheck with this phone's values, on the shared session.
    void setCheckFromLocal(Completion completion);

    void revokeOkta(const std::string& refreshToken, Session session, Completion completion);
    void revokeOktaAndSetCheck(const std::string& refreshToken, Session session, Completion completion);
    // Sign-out: this phone's gateway token, then its refresh token.
    void revokeApigeeAndOkta(const std::string& gatewayToken, const std::string& refreshToken,
        Session gatewaySession, Session identitySession, Completion completion);
    // Taking over: the registered phone's gateway token, then its refresh
    // token (as read by then), then this phone's key.
    void revokeServerTokensAndSetCheck(const std::string& gatewayToken, Session gatewaySession, Session secondSession,
        Completion completion);

    // The gateway address followed by "/etc-tolven-pub/back/auth/mobileid/".
    static std::string mobileIdBase();

private:
    void handleGetKeyResponse(const platform::DataResponse<APIResponse<std::string>>& response, Session session,
        CheckCompletion completion);
    void sendSetCheck(const std::string& value, const Session& session, Completion completion);
    void sendGatewayRevocation(const std::string& gatewayToken, const Session& session, Completion then);
    void sendOktaRevocation(const std::string& refreshToken, const Session& session, Completion then);
};

} // namespace tolven
