#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace devstack {

// The gateway's access tokens: who each belongs to, when it expires and
// whether it was revoked. Safe from any thread.
class GatewayTokenStore {
public:
    using TimePoint = std::chrono::system_clock::time_point;

    struct Grant {
        std::string email;
        TimePoint expiry;
        bool revoked = false;
    };

    // A new opaque token for `email`.
    std::string issue(const std::string& email, TimePoint expiry);
    // The e-mail of a known, unrevoked token that has not expired by `now`.
    std::optional<std::string> holderOf(const std::string& token, TimePoint now) const;
    // Whether the token was known; revoking twice is harmless.
    bool revoke(const std::string& token);

    std::size_t issuedCount() const;
    std::optional<Grant> grant(const std::string& token) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, Grant> grants_;
};

} // namespace devstack
