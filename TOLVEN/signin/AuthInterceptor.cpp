#include "TOLVEN/signin/AuthInterceptor.h"

namespace tolven {

AuthInterceptor::AuthInterceptor(UserTokenProvider userTokenProvider)
    : userTokenProvider_(std::move(userTokenProvider))
{
}

void AuthInterceptor::adapt(platform::HttpRequest request, AdaptCompletion completion)
{
    TokenManager::shared().withValidGatewayToken(
        [this, request = std::move(request), completion = std::move(completion)](const GatewayTokenResult& token) mutable {
            completion(applyAuthHeaders(std::move(request), token));
        });
}

platform::RequestInterceptor::AdaptResult AuthInterceptor::applyAuthHeaders(platform::HttpRequest request, const GatewayTokenResult& token) const
{
    if (auto* error = std::get_if<platform::DomainError>(&token))
        return *error;
    auto headers = request.headers;
    headers.update("Authorization", "Bearer " + std::get<std::string>(token));
    if (auto userToken = userTokenProvider_ ? userTokenProvider_() : std::nullopt; userToken && !userToken->empty())
        headers.update("User-Token", *userToken);
    headers.update("User-Agent", "brantwickMcard");
    request.headers = std::move(headers);
    return request;
}

void AuthInterceptor::retry(const platform::FailedAttempt& attempt, RetryCompletion completion)
{
    if (!attempt.response || attempt.response->statusCode != 401 || attempt.retryCount >= maximumRetries) {
        completion(platform::RetryDecision::doNotRetry);
        return;
    }
    TokenManager::shared().refreshForRetry(std::move(completion));
}

} // namespace tolven
