#pragma once

#include "TOLVEN/signin/TokenManager.h"

#include "platform/net/RequestInterceptor.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tolven {

// Puts the gateway token and the client's fixed headers on every request of
// the shared session just before each send, and lets the token manager
// decide whether a request answered with 401 is sent again.
class AuthInterceptor final : public platform::RequestInterceptor {
public:
    using UserTokenProvider = std::function<std::optional<std::string>()>;

    // A request answered with 401 is sent again at most this often, so a
    // gateway that keeps refusing a token cannot keep a request going.
    static constexpr std::size_t maximumRetries = 2;

    explicit AuthInterceptor(UserTokenProvider userTokenProvider);

    void adapt(platform::HttpRequest request, AdaptCompletion completion) override;
    void retry(const platform::FailedAttempt& attempt, RetryCompletion completion) override;

    // "Authorization" = "Bearer " + token, "User-Token" when the provider
    // has a non-empty one, and "User-Agent" = "brantwickMcard" over whatever
    // the caller set; other headers stay as they are.
    AdaptResult applyAuthHeaders(platform::HttpRequest request, const GatewayTokenResult& token) const;

private:
    UserTokenProvider userTokenProvider_;
};

} // namespace tolven
