// The session on the production scheduler and the libcurl transport: what
// only real threads reach. The tests wait for events and measure no time.
#include "devstack/server/testing/RunningService.h"
#include "devstack/server/testing/ScriptedService.h"
#include "platform/foundation/AppPaths.h"
#include "platform/net/HttpSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace platform {
namespace {

// A private data folder (the service keeps its certificates there) and a service on loopback.
class ThreadedSessionTest : public ::testing::Test {
protected:
    static std::filesystem::path makeDataRoot()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolven-threaded-session-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        setDataRoot(pattern);
        return pattern;
    }

    ~ThreadedSessionTest() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    const std::filesystem::path root = makeDataRoot();
    devstack::testing::RunningService<devstack::testing::ScriptedService> server;
};

TEST_F(ThreadedSessionTest, SessionDroppedMidRequestStillDeliversTheAnswer)
{
    std::promise<void> arrived;
    std::promise<void> answerNow;
    server->on("GET", "/held", [&, release = answerNow.get_future().share()](const httplib::Request&, httplib::Response& response) {
        arrived.set_value();
        release.wait();
        response.set_content(R"({"held":true})", "application/json");
    });

    DispatchQueue completions("completions");
    std::promise<DataResponse<std::string>> answer;
    {
        HttpSession session;
        session.requestWithParameters(server.url("/held"))->validateStatus().onDataResponse(completions, [&](const auto& response) {
            answer.set_value(response);
        });
        arrived.get_future().wait();
    }
    // The session and its queue go while the answer is on its way; the
    // request's own blocks release them last, on the session's queue.
    answerNow.set_value();
    auto response = answer.get_future().get();
    ASSERT_TRUE(response.result.isSuccess());
    EXPECT_EQ(response.result.value(), R"({"held":true})");
}

// Records where the session runs its interceptor: the 401 is adapted and retried once.
class ThreadRecordingInterceptor final : public RequestInterceptor {
public:
    void adapt(HttpRequest request, AdaptCompletion completion) override
    {
        record("adapt");
        completion(std::move(request));
    }
    void retry(const FailedAttempt& attempt, RetryCompletion completion) override
    {
        record("retry");
        completion(attempt.retryCount == 0 ? RetryDecision::retry : RetryDecision::doNotRetry);
    }

    std::mutex mutex;
    std::vector<std::pair<std::string, std::thread::id>> calls;

private:
    void record(const char* step)
    {
        std::lock_guard lock(mutex);
        calls.emplace_back(step, std::this_thread::get_id());
    }
};

TEST_F(ThreadedSessionTest, InterceptorRunsOnTheSessionsQueueAndCompletionsOnTheNamedOne)
{
    std::atomic<int> calls = 0;
    server->on("GET", "/user", [&](const httplib::Request&, httplib::Response& response) {
        response.status = ++calls == 1 ? 401 : 200;
        response.set_content("{}", "application/json");
    });
    auto interceptor = std::make_shared<ThreadRecordingInterceptor>();
    HttpSession session(HttpSessionConfiguration::defaultConfiguration(), interceptor);
    DispatchQueue completions("completions");

    std::promise<std::pair<int, bool>> answer;
    session.requestWithParameters(server.url("/user"))->validateStatus().onDataResponse(completions, [&](const auto& response) {
        // Only a block of `completions` itself is refused a sync on it.
        bool onCompletionsQueue = false;
        try {
            completions.sync([] { });
        } catch (const std::logic_error&) {
            onCompletionsQueue = true;
        }
        answer.set_value({ response.response ? response.response->statusCode : 0, onCompletionsQueue });
    });

    EXPECT_EQ(answer.get_future().get(), std::make_pair(200, true));
    std::lock_guard lock(interceptor->mutex);
    ASSERT_EQ(interceptor->calls.size(), 3u);
    EXPECT_EQ(interceptor->calls[0].first, "adapt");
    EXPECT_EQ(interceptor->calls[1].first, "retry");
    EXPECT_EQ(interceptor->calls[2].first, "adapt");
    // One serial queue of the session's own, never the caller's thread.
    for (const auto& [step, thread] : interceptor->calls) {
        EXPECT_EQ(thread, interceptor->calls[0].second) << step;
        EXPECT_NE(thread, std::this_thread::get_id()) << step;
    }
}

// Callers on several threads share two sessions, whose work shares the
// transport's thread: every request is answered once, with its own body.
TEST_F(ThreadedSessionTest, ConcurrentCallersOnTwoSessionsEachGetTheirOwnAnswerOnce)
{
    server->on("GET", "/echo", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(request.get_param_value("n"), "text/plain");
    });
    HttpSession first;
    HttpSession second(HttpSessionConfiguration::defaultConfiguration(), std::make_shared<ThreadRecordingInterceptor>());
    DispatchQueue completions("completions");
    constexpr int kCallers = 4;
    constexpr int kRequestsEach = 25;

    std::mutex mutex;
    std::vector<int> answered(kCallers * kRequestsEach, 0);
    int mismatches = 0;
    std::string firstError;
    std::promise<void> allAnswered;
    int outstanding = kCallers * kRequestsEach;
    std::vector<std::thread> callers;
    for (int caller = 0; caller < kCallers; ++caller) {
        callers.emplace_back([&, caller] {
            for (int i = 0; i < kRequestsEach; ++i) {
                int number = caller * kRequestsEach + i;
                HttpSession& session = number % 2 ? second : first;
                session.requestWithParameters(server.url("/echo?n=" + std::to_string(number)))
                    ->validateStatus()
                    .onDataResponse(completions, [&, number](const DataResponse<std::string>& response) {
                        std::lock_guard lock(mutex);
                        ++answered[number];
                        mismatches += !response.result.isSuccess() || response.result.value() != std::to_string(number);
                        if (!response.result.isSuccess() && firstError.empty())
                            firstError = response.result.error().description();
                        if (--outstanding == 0)
                            allAnswered.set_value();
                    });
            }
        });
    }
    for (auto& caller : callers)
        caller.join();
    allAnswered.get_future().wait();

    std::lock_guard lock(mutex);
    EXPECT_EQ(mismatches, 0) << firstError;
    EXPECT_EQ(std::count(answered.begin(), answered.end(), 1), kCallers * kRequestsEach);
}

} // namespace
} // namespace platform
