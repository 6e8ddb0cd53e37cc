// The session on the production scheduler and the libcurl transport: what
// only real threads reach. The tests wait for events and measure no time.
#include "devstack/server/testing/RunningService.h"
#include "devstack/server/testing/ScriptedService.h"
#include "platform/foundation/AppPaths.h"
#include "platform/net/HttpSession.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>

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

} // namespace
} // namespace platform
