#include "TOLVEN/signin/TokenManager.h"

#include "TOLVEN/signin/ApigeeTokenDTO.h"
#include "TOLVEN/signin/SecretMasking.h"
#include "TOLVEN/signin/SharedInstanceSlots.h"
#include "TOLVEN/signin/TokenManagerError.h"

#include "platform/foundation/Console.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/HttpSession.h"
#include "platform/net/Utf8.h"

#include <openssl/evp.h>

#include <algorithm>

namespace tolven {

namespace {

std::optional<std::string> base64(const std::string& bytes)
{
    if (!platform::isValidUtf8(bytes))
        return std::nullopt;
    std::string encoded(4 * ((bytes.size() + 2) / 3), '\0');
    int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    encoded.resize(static_cast<std::size_t>(length));
    return encoded;
}

platform::DomainError wrapped(const platform::OidcError& error)
{
    return { "OidcError", static_cast<long>(error.code), error.description };
}

platform::DomainError wrapped(const platform::HttpClientError& error)
{
    return { "HttpClientError", error.responseCode().value_or(static_cast<int>(error.kind())), error.description() };
}

} // namespace

std::shared_ptr<TokenManager>& detail::tokenManagerSlot()
{
    static auto* slot = new std::shared_ptr<TokenManager>(std::make_shared<TokenManager>());
    return *slot;
}

TokenManager& TokenManager::shared()
{
    return *detail::tokenManagerSlot();
}

TokenManager::TokenManager() = default;

void TokenManager::setCredential(std::shared_ptr<platform::Credential> credential)
{
    std::lock_guard guard(lock_);
    credential_ = std::move(credential);
    if (credential_)
        credential_->enableAutomaticRefresh();
}

std::shared_ptr<platform::Credential> TokenManager::credential() const
{
    std::lock_guard guard(lock_);
    return credential_;
}

std::optional<std::string> TokenManager::currentGatewayToken() const
{
    std::lock_guard guard(lock_);
    return apigeeToken_;
}

std::optional<platform::WallClockTime> TokenManager::gatewayTokenExpiry() const
{
    std::lock_guard guard(lock_);
    return apigeeExpiry_;
}

bool TokenManager::isCachedTokenValidLocked() const
{
    if (!apigeeToken_ || !apigeeExpiry_)
        return false;
    auto now = platform::clock().now();
    if (now < *apigeeExpiry_ - expiryMargin)
        return true;
    return apigeeStoredAt_ && now < *apigeeStoredAt_ + minimumUsablePeriod;
}

// A completion decided while the lock is held (or while a renewal is being
// started under it) is held back until the lock is released; one decided
// later runs at once. Either way it runs exactly once and outside the lock.
class TokenManager::HeldCompletion {
public:
    explicit HeldCompletion(TokenCompletion completion)
        : completion_(std::move(completion))
    {
    }

    void finish(const GatewayTokenResult& result)
    {
        {
            std::lock_guard guard(mutex_);
            if (holding_) {
                heldBack_ = result;
                return;
            }
        }
        completion_(result);
    }

    // Called once the token manager's lock is released.
    void release()
    {
        std::optional<GatewayTokenResult> heldBack;
        {
            std::lock_guard guard(mutex_);
            holding_ = false;
            heldBack = std::move(heldBack_);
        }
        if (heldBack)
            completion_(*heldBack);
    }

private:
    std::mutex mutex_;
    bool holding_ = true;
    std::optional<GatewayTokenResult> heldBack_;
    TokenCompletion completion_;
};

void TokenManager::withValidGatewayToken(TokenCompletion completion)
{
    auto held = std::make_shared<HeldCompletion>(std::move(completion));
    {
        std::lock_guard guard(lock_);
        if (isCachedTokenValidLocked())
            held->finish(*apigeeToken_);
        else if (!credential_)
            held->finish(TokenManagerError::idTokenMissing());
        else
            renewLocked(held);
    }
    held->release();
}

void TokenManager::refreshForRetry(RetryCompletion completion)
{
    // The cached token, a renewed one or a failure decide it exactly as they
    // decide a token: any token means the request goes again.
    withValidGatewayToken([completion = std::move(completion)](const GatewayTokenResult& result) {
        completion(std::holds_alternative<std::string>(result) ? platform::RetryDecision::retry : platform::RetryDecision::doNotRetry);
    });
}

// The refresh starts under the lock, so the credential it refreshes is the one
// stored. When none is due it completes at once on this thread, and the
// exchange request is made while the lock is still held.
void TokenManager::renewLocked(const Completion& completion)
{
    std::weak_ptr<TokenManager> weakSelf = weak_from_this();
    credential_->refreshIfNearExpiry([weakSelf, completion](const std::optional<platform::OidcError>& error) {
        if (auto self = weakSelf.lock())
            self->handleCredentialRefresh(error, completion);
    });
}

void TokenManager::handleCredentialRefresh(const std::optional<platform::OidcError>& error, const Completion& completion)
{
    if (error) {
        completion->finish(wrapped(*error));
        return;
    }
    std::optional<std::string> idToken;
    {
        std::lock_guard guard(lock_);
        if (credential_)
            idToken = credential_->token().idToken;
    }
    if (!idToken) {
        completion->finish(TokenManagerError::idTokenMissing());
        return;
    }
    exchangeIDToken(*idToken, completion);
}

void TokenManager::exchangeIDToken(const std::string& idToken, const Completion& completion)
{
    auto basic = base64(std::string(clientID) + ":" + clientID);
    if (!basic) {
        finishExchange(TokenManagerError::clientIdNotEncodable(), completion);
        return;
    }
    platform::HttpHeaderList headers { { "Authorization", "Basic " + *basic },
        { "Content-Type", "application/x-www-form-urlencoded" } };
    platform::Parameters form { { "grant_type", "okta_id_token" }, { "okta_id_token", idToken } };
    std::weak_ptr<TokenManager> weakSelf = weak_from_this();
    platform::defaultHttpSession()
        .requestWithParameters(urlList_.apigeeURL, platform::HttpMethod::post(), form, platform::UrlEncoding::httpBody, headers)
        ->validateStatus(200, 299)
        .onDecodedResponse<ApigeeTokenDTO>(
            platform::DispatchQueue::main(),
            [weakSelf, completion](const platform::DataResponse<ApigeeTokenDTO>& response) {
                if (auto self = weakSelf.lock())
                    self->handleExchangeResponse(response.data, response.result, completion);
            },
            &ApigeeTokenDTO::decode);
}

void TokenManager::handleExchangeResponse(const std::optional<std::string>& body,
    const platform::HttpResult<ApigeeTokenDTO>& result, const Completion& completion)
{
    if (!result) {
        if (body && platform::isValidUtf8(*body))
            platform::console("Apigee exchange error body: " + maskTokenFields(*body));
        finishExchange(wrapped(result.error()), completion);
        return;
    }
    // A lifetime far beyond any real token (or negative) must not overflow the clock arithmetic.
    constexpr std::int64_t longestLifetime = 10LL * 365 * 24 * 3600;
    auto lifetime = std::clamp<std::int64_t>(result.value().expires_in, 0, longestLifetime);
    auto expiry = platform::clock().now() + std::chrono::seconds(lifetime);
    storeGatewayToken(result.value().access_token, expiry);
    finishExchange(result.value().access_token, completion);
}

void TokenManager::storeGatewayToken(const std::string& token, platform::WallClockTime expiry)
{
    std::string refreshToken;
    NewGatewayTokenHandler handler;
    {
        std::lock_guard guard(lock_);
        apigeeToken_ = token;
        apigeeExpiry_ = expiry;
        apigeeStoredAt_ = platform::clock().now();
        refreshToken = platform::UserDefaults::standard().stringForKey("refreshToken").value_or("");
        handler = newGatewayTokenHandler_;
    }
    if (handler)
        handler(token, refreshToken);
}

void TokenManager::setNewGatewayTokenHandler(NewGatewayTokenHandler handler)
{
    std::lock_guard guard(lock_);
    newGatewayTokenHandler_ = std::move(handler);
}

void TokenManager::finishExchange(const GatewayTokenResult& result, const Completion& completion)
{
    completion->finish(result);
}

} // namespace tolven
