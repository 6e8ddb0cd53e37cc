#pragma once

#include "TOLVEN/signin/URLList.h"

#include "platform/foundation/Clock.h"
#include "platform/net/HttpClientError.h"
#include "platform/net/HttpResult.h"
#include "platform/net/RequestInterceptor.h"
#include "platform/oidc/Credential.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

namespace tolven {

struct ApigeeTokenDTO;

// A gateway token, or why none could be had. Errors of the identity-provider
// client and of the HTTP client arrive here wrapped in their own domains.
using GatewayTokenResult = std::variant<std::string, platform::DomainError>;

// Provides the gateway access token for every backend request: it holds the
// identity-provider credential, caches the gateway token until 60 s before its
// expiry, and otherwise refreshes the credential when it is near expiry and
// exchanges its ID token at the gateway. Every new gateway token goes to the
// handler that the application's start-up wiring installs.
class TokenManager : public std::enable_shared_from_this<TokenManager> {
public:
    using TokenCompletion = std::function<void(const GatewayTokenResult&)>;
    using RetryCompletion = std::function<void(platform::RetryDecision)>;
    // Told of each gateway token an exchange brings once it is stored, on the
    // main queue, with the user defaults' "refreshToken" ("" when not set) as
    // read with it.
    using NewGatewayTokenHandler = std::function<void(const std::string& gatewayToken, const std::string& refreshToken)>;

    // The identity provider's public client identifier of this application.
    static constexpr const char* clientID = "0oa1brantwicktolven1";
    // A cached token goes stale this long before its expiry, so it never expires in flight.
    static constexpr std::chrono::seconds expiryMargin { 60 };
    // A freshly exchanged token stays usable at least this long, whatever its
    // lifetime, so that a short-lived token cannot make every request (the
    // device-key report sent after each exchange included) start yet another
    // exchange.
    static constexpr std::chrono::seconds minimumUsablePeriod { 10 };

    static TokenManager& shared();

    TokenManager();

    // Stores the credential (none at sign-out) and switches its automatic
    // refresh on. The cached gateway token stays.
    void setCredential(std::shared_ptr<platform::Credential> credential);
    std::shared_ptr<platform::Credential> credential() const;

    std::optional<std::string> currentGatewayToken() const;
    std::optional<platform::WallClockTime> gatewayTokenExpiry() const;

    // Completes exactly once, never with a lock of the token manager held, so
    // a completion may call back in from any thread: on the calling thread
    // with the cached token while it is valid, or with error -1 without a
    // credential or ID token; otherwise after a refresh when due and an
    // exchange, on the main queue (or the identity-provider client's queue
    // when the refresh fails).
    void withValidGatewayToken(TokenCompletion completion);

    // After a 401: retry at once while the cached token is valid, otherwise
    // after a successful renewal; do not retry without a credential or after
    // a failed renewal. Completes as withValidGatewayToken does.
    void refreshForRetry(RetryCompletion completion);

    // Replaces the handler of new gateway tokens; none at first.
    void setNewGatewayTokenHandler(NewGatewayTokenHandler handler);

    const URLList& urlList() const { return urlList_; }

private:
    class HeldCompletion;
    using Completion = std::shared_ptr<HeldCompletion>;

    bool isCachedTokenValidLocked() const;
    void renewLocked(const Completion& completion);
    void handleCredentialRefresh(const std::optional<platform::OidcError>& error, const Completion& completion);
    void exchangeIDToken(const std::string& idToken, const Completion& completion);
    void handleExchangeResponse(const std::optional<std::string>& body, const platform::HttpResult<ApigeeTokenDTO>& result,
        const Completion& completion);
    void storeGatewayToken(const std::string& token, platform::WallClockTime expiry);
    void finishExchange(const GatewayTokenResult& result, const Completion& completion);

    // Guards the credential, the token, its expiry and the handler. Recursive
    // because a refresh that is not due completes on the thread that starts
    // it, which then reads the ID token with the lock still held.
    mutable std::recursive_mutex lock_;
    std::shared_ptr<platform::Credential> credential_;
    std::optional<std::string> apigeeToken_;
    std::optional<platform::WallClockTime> apigeeExpiry_;
    // When the cached token was stored, for its minimum usable period.
    std::optional<platform::WallClockTime> apigeeStoredAt_;
    NewGatewayTokenHandler newGatewayTokenHandler_;
    const URLList urlList_;
};

} // namespace tolven
