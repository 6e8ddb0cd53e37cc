#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

// A sign-in page shown to the user in a browser that hands control back to
// the application when the page redirects to the callback scheme, shaped like
// the platform's web-authentication session.
//
// The completion runs exactly once, on the main queue: with the callback
// address, or with an error when the user closed the page, the session was
// cancelled, or it could not be shown.
class WebAuthenticationSession {
public:
    struct Error {
        enum class Code { canceledLogin = 1, presentationContextNotProvided = 2, presentationContextInvalid = 3 };
        Code code;
        std::string description;
    };
    using Completion = std::function<void(std::optional<std::string> callbackUrl, std::optional<Error> error)>;
    using Factory = std::function<std::unique_ptr<WebAuthenticationSession>(
        std::string url, std::optional<std::string> callbackUrlScheme, Completion completion)>;

    // A session of the installed backend. Without one, starting it fails with
    // presentationContextNotProvided: this platform has no browser of its own.
    static std::unique_ptr<WebAuthenticationSession> make(
        std::string url, std::optional<std::string> callbackUrlScheme, Completion completion);
    // Installs the backend that make() uses (an empty function removes it).
    static void setFactory(Factory factory);

    virtual ~WebAuthenticationSession() = default;
    WebAuthenticationSession(const WebAuthenticationSession&) = delete;
    WebAuthenticationSession& operator=(const WebAuthenticationSession&) = delete;

    const std::string& url() const { return url_; }
    const std::optional<std::string>& callbackUrlScheme() const { return callbackUrlScheme_; }

    // An ephemeral session shares no cookies with other sessions. Set before start().
    void setPrefersEphemeralWebBrowserSession(bool ephemeral) { ephemeral_ = ephemeral; }
    bool prefersEphemeralWebBrowserSession() const { return ephemeral_; }

    // Shows the page. False when the session was already started or cannot be shown.
    virtual bool start() = 0;
    // Closes the page; the completion gets canceledLogin unless it already ran.
    virtual void cancel() = 0;

protected:
    WebAuthenticationSession(std::string url, std::optional<std::string> callbackUrlScheme, Completion completion);

    // Hands the outcome to the completion on the main queue, the first time only.
    void complete(std::optional<std::string> callbackUrl, std::optional<Error> error);
    bool isCompleted() const;

private:
    const std::string url_;
    const std::optional<std::string> callbackUrlScheme_;
    bool ephemeral_ = false;
    mutable std::mutex mutex_;
    Completion completion_;
};

} // namespace platform
