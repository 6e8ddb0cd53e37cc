#include "platform/oidc/BrowserSignIn.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/oidc/AuthorizationRequest.h"
#include "platform/web/WebAuthenticationSession.h"

namespace platform {

namespace {

OidcError cancelledError(const WebAuthenticationSession::Error& error)
{
    return { OidcError::Code::cancelled, error.description.empty() ? "The sign-in was cancelled." : error.description, {} };
}

} // namespace

BrowserSignIn::BrowserSignIn(OidcConfiguration configuration)
    : client_(OAuth2Client::forConfiguration(configuration))
    , alive_(std::make_shared<bool>(true))
{
}

BrowserSignIn::~BrowserSignIn()
{
    *alive_ = false;
}

void BrowserSignIn::browserSignIn(Completion completion)
{
    // Every outcome reaches the caller on the main queue.
    auto deliver = [completion = std::move(completion)](OidcResult<Token> result) {
        DispatchQueue::main().async([completion, result = std::move(result)] { completion(result); });
    };
    auto request = AuthorizationRequest::make();
    if (!request) {
        deliver(OidcError { OidcError::Code::invalidConfiguration, "No secure random values could be made for the sign-in.", {} });
        return;
    }
    auto client = client_;
    client->openIdConfiguration([this, alive = alive_, client, request = *request, deliver](const OidcResult<OpenIdConfiguration>& provider) {
        if (!provider) {
            deliver(provider.error());
            return;
        }
        auto url = request.url(provider.value(), client->configuration());
        DispatchQueue::main().async([this, alive, client, request, deliver, url] {
            if (!*alive) {
                deliver(OidcError { OidcError::Code::cancelled, "The sign-in was cancelled.", {} });
                return;
            }
            auto holder = std::make_shared<WebAuthenticationSession*>(nullptr);
            auto session = WebAuthenticationSession::make(url, client->configuration().redirectScheme(),
                [this, alive, client, request, deliver, holder](std::optional<std::string> callbackUrl, std::optional<WebAuthenticationSession::Error> error) {
                    if (*alive)
                        finish(*holder);
                    if (!callbackUrl) {
                        deliver(cancelledError(error.value_or(WebAuthenticationSession::Error {})));
                        return;
                    }
                    auto code = request.codeFromCallback(*callbackUrl);
                    if (!code) {
                        deliver(code.error());
                        return;
                    }
                    client->exchangeAuthorizationCode(code.value(), request.codeVerifier, request.nonce,
                        [deliver](const OidcResult<Token>& token) { deliver(token); });
                });
            *holder = session.get();
            sessions_.push_back(std::move(session));
            sessions_.back()->start();
        });
    });
}

void BrowserSignIn::finish(WebAuthenticationSession* session)
{
    // Released later: the session may still be on the stack that called us.
    for (auto it = sessions_.begin(); it != sessions_.end(); ++it) {
        if (it->get() == session) {
            DispatchQueue::main().async([finished = std::shared_ptr<WebAuthenticationSession>(std::move(*it))] { });
            sessions_.erase(it);
            return;
        }
    }
}

BrowserSignIn* sharedBrowserSignIn()
{
    static std::mutex mutex;
    static std::filesystem::path madeFor;
    static std::unique_ptr<BrowserSignIn> shared;
    static bool made = false;
    std::lock_guard lock(mutex);
    auto& bundle = Bundle::main();
    if (!made || madeFor != bundle.path()) {
        made = true;
        madeFor = bundle.path();
        auto configuration = OidcConfiguration::fromPropertyList(bundle, "Okta");
        // FIXME: a sign-in object replaced here while its page shows loses that page's answer; only tests move the bundle.
        shared = configuration ? std::make_unique<BrowserSignIn>(*configuration) : nullptr;
    }
    return shared.get();
}

} // namespace platform
