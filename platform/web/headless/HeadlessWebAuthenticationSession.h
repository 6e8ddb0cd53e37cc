#pragma once

#include "platform/web/WebAuthenticationSession.h"

#include <memory>
#include <string>

namespace platform {

// A web-authentication session without a screen, for tests and the local
// development services: it plays the user by following the pages' redirects,
// filling the sign-in form with one configured user's name and password, and
// completing when a redirect reaches the callback scheme. It submits the form
// once; a second form means the credentials were refused. Pages load on a
// thread of the session's own, verified against the system's authorities or
// the configured extra one. Cookies live only as long as the session, so
// every session behaves as an ephemeral one.
class HeadlessWebAuthenticationSession final : public WebAuthenticationSession {
public:
    struct User {
        std::string username;
        std::string password;
    };

    HeadlessWebAuthenticationSession(std::string url, std::optional<std::string> callbackUrlScheme, Completion completion,
        User user);
    ~HeadlessWebAuthenticationSession() override;

    // A backend for WebAuthenticationSession::setFactory that signs `user` in.
    static Factory factory(User user);

    bool start() override;
    void cancel() override;

private:
    struct Navigation;
    std::shared_ptr<Navigation> navigation_;
    bool started_ = false;
};

} // namespace platform
