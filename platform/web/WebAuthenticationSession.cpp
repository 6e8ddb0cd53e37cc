#include "platform/web/WebAuthenticationSession.h"

#include "platform/foundation/DispatchQueue.h"

#include <utility>

namespace platform {

namespace {

std::mutex factoryMutex;
WebAuthenticationSession::Factory installedFactory;

// Stands in when no backend is installed: there is no page to show.
class UnavailableWebAuthenticationSession final : public WebAuthenticationSession {
public:
    UnavailableWebAuthenticationSession(std::string url, std::optional<std::string> callbackUrlScheme, Completion completion)
        : WebAuthenticationSession(std::move(url), std::move(callbackUrlScheme), std::move(completion))
    {
    }

    bool start() override
    {
        complete(std::nullopt, Error { Error::Code::presentationContextNotProvided, "No browser is available to show the sign-in page." });
        return false;
    }
    void cancel() override { complete(std::nullopt, Error { Error::Code::canceledLogin, "The sign-in was cancelled." }); }
};

} // namespace

std::unique_ptr<WebAuthenticationSession> WebAuthenticationSession::make(
    std::string url, std::optional<std::string> callbackUrlScheme, Completion completion)
{
    Factory factory;
    {
        std::lock_guard lock(factoryMutex);
        factory = installedFactory;
    }
    if (factory)
        return factory(std::move(url), std::move(callbackUrlScheme), std::move(completion));
    return std::unique_ptr<WebAuthenticationSession>(
        new UnavailableWebAuthenticationSession(std::move(url), std::move(callbackUrlScheme), std::move(completion)));
}

void WebAuthenticationSession::setFactory(Factory factory)
{
    std::lock_guard lock(factoryMutex);
    installedFactory = std::move(factory);
}

WebAuthenticationSession::WebAuthenticationSession(
    std::string url, std::optional<std::string> callbackUrlScheme, Completion completion)
    : url_(std::move(url))
    , callbackUrlScheme_(std::move(callbackUrlScheme))
    , completion_(std::move(completion))
{
}

void WebAuthenticationSession::complete(std::optional<std::string> callbackUrl, std::optional<Error> error)
{
    Completion completion;
    {
        std::lock_guard lock(mutex_);
        completion = std::exchange(completion_, nullptr);
    }
    if (!completion)
        return;
    DispatchQueue::main().async([completion = std::move(completion), callbackUrl = std::move(callbackUrl), error = std::move(error)] {
        completion(callbackUrl, error);
    });
}

bool WebAuthenticationSession::isCompleted() const
{
    std::lock_guard lock(mutex_);
    return !completion_;
}

} // namespace platform
