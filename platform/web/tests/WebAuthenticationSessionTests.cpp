#include "platform/web/WebAuthenticationSession.h"
#include "platform/web/headless/HeadlessWebAuthenticationSession.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace platform;
using Code = WebAuthenticationSession::Error::Code;

namespace {

struct Outcome {
    int calls = 0;
    std::optional<std::string> callbackUrl;
    std::optional<WebAuthenticationSession::Error> error;

    WebAuthenticationSession::Completion recorder()
    {
        return [this](std::optional<std::string> url, std::optional<WebAuthenticationSession::Error> failure) {
            EXPECT_TRUE(scheduler().isMainThread());
            ++calls;
            callbackUrl = std::move(url);
            error = std::move(failure);
        };
    }
};

} // namespace

TEST(WebAuthenticationSession, WithoutABrowserStartingFailsOnTheMainQueue)
{
    TestEnvironment env;
    WebAuthenticationSession::setFactory({});
    Outcome outcome;
    auto session = WebAuthenticationSession::make("https://login.example/authorize", "app", outcome.recorder());
    EXPECT_FALSE(session->start());
    EXPECT_EQ(outcome.calls, 0); // delivered later, never inside the call
    env.runUntilIdle();
    ASSERT_EQ(outcome.calls, 1);
    EXPECT_EQ(outcome.error->code, Code::presentationContextNotProvided);
    session->cancel();
    env.runUntilIdle();
    EXPECT_EQ(outcome.calls, 1);
}

TEST(WebAuthenticationSession, HeadlessSessionCompletesOnceWhateverHappens)
{
    TestEnvironment env;
    WebAuthenticationSession::setFactory(HeadlessWebAuthenticationSession::factory({ "user", "secret" }));

    Outcome cancelled;
    auto session = WebAuthenticationSession::make("https://127.0.0.1:9/authorize", "app", cancelled.recorder());
    session->setPrefersEphemeralWebBrowserSession(true);
    EXPECT_TRUE(session->prefersEphemeralWebBrowserSession());
    session->cancel();
    EXPECT_FALSE(session->start());
    env.runUntilIdle();
    EXPECT_EQ(cancelled.calls, 1);
    EXPECT_EQ(cancelled.error->code, Code::canceledLogin);

    Outcome notWeb;
    auto other = WebAuthenticationSession::make("app:/not-a-page", "app", notWeb.recorder());
    EXPECT_FALSE(other->start());
    env.runUntilIdle();
    EXPECT_EQ(notWeb.error->code, Code::presentationContextInvalid);

    // Nothing listens on the discard port: the page cannot load.
    Outcome unreachable;
    auto third = WebAuthenticationSession::make("https://127.0.0.1:9/authorize", "app", unreachable.recorder());
    EXPECT_TRUE(third->start());
    EXPECT_FALSE(third->start());
    ASSERT_TRUE(env.runUntil([&] { return unreachable.calls > 0; }));
    EXPECT_EQ(unreachable.error->code, Code::canceledLogin);
    EXPECT_FALSE(unreachable.callbackUrl);
    WebAuthenticationSession::setFactory({});
}
