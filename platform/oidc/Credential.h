#pragma once

#include "platform/oidc/OidcError.h"
#include "platform/oidc/Token.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

class OAuth2Client;

// A stored token that keeps itself current: refreshing replaces its token
// (same identifier) in memory and in the credential store, and a rotated
// refresh token also in the application's user-defaults copy of it
// (CredentialStore::refreshTokenDefaultsKey) when that copy held the old one.
// There is one
// Credential object per stored token in the process, so every holder sees a
// refresh made by another.
class Credential : public std::enable_shared_from_this<Credential> {
public:
    using RefreshCompletion = std::function<void(const std::optional<OidcError>& error)>;
    static constexpr std::chrono::seconds defaultGraceInterval { 300 };
    static constexpr std::chrono::seconds minimumAutomaticRefreshInterval { 60 };

    // Use CredentialStore to make one.
    explicit Credential(Token token);

    Token token() const;
    std::string id() const;

    // Refreshes now. Refreshes asked for while one runs share its outcome.
    // The completion runs on the OpenID Connect client's queue.
    void refresh(RefreshCompletion completion);

    // Refreshes when the token expires within `graceInterval` (its remaining
    // lifetime is at most that long). Otherwise, and also when the token has
    // no issue time or lifetime, completes at once with success on the
    // calling thread.
    void refreshIfNearExpiry(RefreshCompletion completion, std::chrono::seconds graceInterval = defaultGraceInterval);

    // Keeps refreshing the token `defaultGraceInterval` before it expires, for
    // as long as this credential lives. A token that lives no longer than that
    // would be due the moment it arrives, so a refresh also waits until the
    // token has lived half its life, and comes at least
    // `minimumAutomaticRefreshInterval` after the refresh before. A failed
    // refresh stops it until it is enabled again.
    void enableAutomaticRefresh();
    bool isAutomaticRefreshEnabled() const;

private:
    friend class CredentialStore;
    void replaceToken(Token token);
    void scheduleAutomaticRefresh(Duration notSooner = Duration::zero());
    void finishRefresh(const std::optional<std::string>& usedRefreshToken, const std::optional<Token>& refreshed,
        const std::optional<OidcError>& error);

    mutable std::mutex mutex_;
    Token token_;
    std::vector<RefreshCompletion> waiting_;
    bool refreshing_ = false;
    bool automaticRefresh_ = false;
    // Each schedule outdates the timers of earlier ones.
    std::uint64_t automaticRefreshGeneration_ = 0;
};

} // namespace platform
