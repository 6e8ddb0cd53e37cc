#include "platform/oidc/Credential.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/oidc/CredentialStore.h"
#include "platform/oidc/OAuth2Client.h"
#include "platform/oidc/ProviderClock.h"

namespace platform {

namespace {

// The application keeps a copy of the credential's refresh token in the user
// defaults to sign in again with. A provider that rotates refresh tokens takes
// a second use of the old one for a stolen token and revokes the whole grant,
// so the copy follows each rotation; a copy of some other token stays.
void followRotatedRefreshToken(const std::optional<std::string>& previous, const std::optional<std::string>& current)
{
    if (!previous || !current || previous == current || previous->empty())
        return;
    auto& defaults = UserDefaults::standard();
    if (defaults.stringForKey(CredentialStore::refreshTokenDefaultsKey) == *previous)
        defaults.setString(CredentialStore::refreshTokenDefaultsKey, *current);
}

} // namespace

Credential::Credential(Token token)
    : token_(std::move(token))
{
}

Token Credential::token() const
{
    std::lock_guard lock(mutex_);
    return token_;
}

std::string Credential::id() const
{
    std::lock_guard lock(mutex_);
    return token_.id;
}

void Credential::replaceToken(Token token)
{
    std::lock_guard lock(mutex_);
    token_ = std::move(token);
}

void Credential::refresh(RefreshCompletion completion)
{
    Token current;
    {
        std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(completion));
        if (refreshing_)
            return;
        refreshing_ = true;
        current = token_;
    }
    // A refresh token is used once at a time: a second request with it could
    // race a provider that rotates refresh tokens.
    OAuth2Client::forConfiguration(current.configuration)
        ->refresh(current, [self = shared_from_this(), used = current.refreshToken](const OidcResult<Token>& result) {
            if (result)
                self->finishRefresh(used, result.value(), std::nullopt);
            else
                self->finishRefresh(used, std::nullopt, result.error());
        });
}

void Credential::finishRefresh(const std::optional<std::string>& usedRefreshToken, const std::optional<Token>& refreshed,
    const std::optional<OidcError>& error)
{
    std::vector<RefreshCompletion> waiting;
    bool automatic;
    {
        std::lock_guard lock(mutex_);
        if (refreshed)
            token_ = *refreshed;
        waiting = std::exchange(waiting_, {});
        refreshing_ = false;
        if (error)
            automaticRefresh_ = false;
        automatic = automaticRefresh_;
    }
    // The store keeps the newest token only if the credential is still in it.
    if (refreshed) {
        CredentialStore::shared().updateStoredToken(*refreshed);
        followRotatedRefreshToken(usedRefreshToken, refreshed->refreshToken);
    }
    if (automatic)
        scheduleAutomaticRefresh(minimumAutomaticRefreshInterval);
    for (auto& completion : waiting)
        completion(error);
}

void Credential::refreshIfNearExpiry(RefreshCompletion completion, std::chrono::seconds graceInterval)
{
    std::optional<WallClockTime> expiry;
    {
        std::lock_guard lock(mutex_);
        expiry = token_.expiresAt();
    }
    if (!expiry || *expiry - ProviderClock::now() > graceInterval) {
        completion(std::nullopt);
        return;
    }
    refresh(std::move(completion));
}

void Credential::enableAutomaticRefresh()
{
    {
        std::lock_guard lock(mutex_);
        automaticRefresh_ = true;
    }
    scheduleAutomaticRefresh();
}

bool Credential::isAutomaticRefreshEnabled() const
{
    std::lock_guard lock(mutex_);
    return automaticRefresh_;
}

void Credential::scheduleAutomaticRefresh(Duration notSooner)
{
    std::uint64_t generation;
    std::optional<WallClockTime> expiry;
    std::optional<WallClockTime> halfLife;
    bool canRefresh;
    {
        std::lock_guard lock(mutex_);
        generation = ++automaticRefreshGeneration_;
        expiry = token_.expiresAt();
        if (expiry)
            halfLife = *token_.issuedAt + *token_.expiresIn / 2;
        canRefresh = token_.refreshToken && !token_.refreshToken->empty();
    }
    if (!expiry || !canRefresh)
        return;
    auto refreshAt = std::max(*expiry - defaultGraceInterval, *halfLife);
    auto delay = std::max(notSooner, refreshAt - ProviderClock::now());
    OAuth2Client::queue().asyncAfter(delay, [weak = weak_from_this(), generation] {
        auto self = weak.lock();
        if (!self)
            return;
        {
            std::lock_guard lock(self->mutex_);
            if (!self->automaticRefresh_ || generation != self->automaticRefreshGeneration_)
                return;
        }
        auto expiry = self->token().expiresAt();
        if (expiry && *expiry - ProviderClock::now() > defaultGraceInterval) {
            // The provider's clock moved since this was scheduled.
            self->scheduleAutomaticRefresh();
            return;
        }
        self->refresh([](const std::optional<OidcError>&) { });
    });
}

} // namespace platform
