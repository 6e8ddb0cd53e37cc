#pragma once

#include "platform/web/WebAuthenticationSession.h"

#include <atomic>
#include <memory>
#include <string>

namespace platform::interop {

// Plays the user in oidc-provider's own pages: follows the redirects with the
// pages' cookies, fills the login form with one login and password, accepts
// the consent page, and completes when a redirect reaches the callback
// scheme. Pages load on a thread of the session's own.
class ProviderPagesSession final : public WebAuthenticationSession {
public:
    struct PagesSeen {
        std::atomic<int> login { 0 };
        std::atomic<int> consent { 0 };
    };

    ProviderPagesSession(std::string url, std::optional<std::string> callbackUrlScheme, Completion completion,
        std::string login, std::shared_ptr<PagesSeen> seen);
    ~ProviderPagesSession() override;

    // A backend for WebAuthenticationSession::setFactory that signs `login`
    // in and counts the pages it answered in `seen`.
    static Factory factory(std::string login, std::shared_ptr<PagesSeen> seen);

    bool start() override;
    void cancel() override;

private:
    struct Walk;
    std::shared_ptr<Walk> walk_;
};

} // namespace platform::interop
