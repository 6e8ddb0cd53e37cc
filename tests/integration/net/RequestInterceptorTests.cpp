#include "FakeTransport.h"
#include "LoopbackFixture.h"

#include "platform/foundation/DispatchQueue.h"

#include <atomic>
#include <thread>

namespace platform {
namespace {

// Adds a numbered token before each send (answering from the main queue, as
// an interceptor that waits for a token exchange does) and retries 401 answers.
class TokenInterceptor final : public RequestInterceptor {
public:
    void adapt(HttpRequest request, AdaptCompletion completion) override
    {
        ++adaptCount;
        if (failure) {
            completion(*failure);
            return;
        }
        request.headers.update("Authorization", "Bearer token-" + std::to_string(adaptCount));
        DispatchQueue::main().async([request, completion] { completion(request); });
    }

    void retry(const FailedAttempt& attempt, RetryCompletion completion) override
    {
        ++retryQuestions;
        bool unauthorized = attempt.response && attempt.response->statusCode == 401;
        completion(unauthorized && attempt.retryCount < retryLimit ? RetryDecision::retry : RetryDecision::doNotRetry);
    }

    std::optional<DomainError> failure;
    std::size_t retryLimit = 5;
    int adaptCount = 0;
    int retryQuestions = 0;
};

class RequestInterceptorTest : public LoopbackTest {
protected:
    std::shared_ptr<TokenInterceptor> interceptor = std::make_shared<TokenInterceptor>();
    HttpSession session { HttpSessionConfiguration::defaultConfiguration(), interceptor };
};

TEST_F(RequestInterceptorTest, Unauthorized401IsAdaptedAgainAndRetriedCompletingOnceWithTheLastOutcome)
{
    std::atomic<int> calls { 0 };
    server->on("GET", "/user", [&](const httplib::Request&, httplib::Response& response) {
        response.status = ++calls == 1 ? 401 : 200;
        response.set_content(R"({"ok":true})", "application/json");
    });

    int completions = 0;
    std::optional<DataResponse<nlohmann::json>> answer;
    session.requestWithParameters(url("/user"))->validateStatus().onJSONResponse(DispatchQueue::main(), [&](const auto& response) {
        ++completions;
        answer = response;
    });
    await(answer);
    env.runUntilIdle();

    ASSERT_TRUE(answer->result.isSuccess()) << answer->result.error().description();
    EXPECT_EQ(answer->result.value()["ok"], true);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(interceptor->adaptCount, 2);
    auto seen = server.requestLog().all();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].header("Authorization"), "Bearer token-1");
    EXPECT_EQ(seen[1].header("Authorization"), "Bearer token-2");
}

TEST_F(RequestInterceptorTest, ForbiddenIsNotRetried)
{
    server->reply("GET", "/user", 403, R"({"error":"forbidden"})");
    std::optional<DataResponse<std::string>> answer;
    session.requestWithParameters(url("/user"))->validateStatus().onDataResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);

    ASSERT_FALSE(answer->result.isSuccess());
    EXPECT_EQ(answer->result.error().kind(), HttpClientError::Kind::validationFailed);
    EXPECT_EQ(answer->result.error().responseCode(), 403);
    EXPECT_EQ(answer->response->statusCode, 403);
    EXPECT_EQ(answer->data, R"({"error":"forbidden"})");
    EXPECT_EQ(interceptor->retryQuestions, 1);
    EXPECT_EQ(server.requestLog().count(), 1u);
}

TEST_F(RequestInterceptorTest, Unvalidated401ReachesTheCallerAsAnOrdinaryAnswer)
{
    server->reply("GET", "/photo", 401, "denied", "text/plain");
    std::optional<DownloadResponse> answer;
    session.downloadToFile(url("/photo"), env.dataFolder() / "photo.jpg")->onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);

    EXPECT_FALSE(answer->error);
    EXPECT_EQ(answer->response->statusCode, 401);
    EXPECT_EQ(interceptor->retryQuestions, 0);
    EXPECT_EQ(server.requestLog().count(), 1u);
}

TEST_F(RequestInterceptorTest, AdaptationFailureCompletesWithTheInterceptorsErrorAndNeverReachesTheNetwork)
{
    interceptor->failure = DomainError { "TokenManager", -1, "idToken is nil" };
    server->reply("GET", "/user", 200, "{}");
    std::optional<DataResponse<std::string>> answer;
    session.requestWithParameters(url("/user"))->validateStatus().onDataResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);

    ASSERT_FALSE(answer->result.isSuccess());
    EXPECT_EQ(answer->result.error().kind(), HttpClientError::Kind::adaptationFailed);
    EXPECT_EQ(answer->result.error().underlyingError(), interceptor->failure);
    EXPECT_EQ(interceptor->retryQuestions, 0);
    EXPECT_EQ(server.requestLog().count(), 0u);
}

// Policy on a scripted transport: no network, exact control of every answer.
class RetryPolicyTest : public ::testing::Test {
protected:
    TestEnvironment env;
    std::shared_ptr<FakeTransport> transport = std::make_shared<FakeTransport>();
};

class CountingRetrier final : public RequestInterceptor {
public:
    explicit CountingRetrier(std::size_t limit) : limit_(limit) { }
    void retry(const FailedAttempt& attempt, RetryCompletion completion) override
    {
        kinds.push_back(attempt.error.kind());
        completion(attempt.retryCount < limit_ ? RetryDecision::retry : RetryDecision::doNotRetry);
    }
    std::vector<HttpClientError::Kind> kinds;

private:
    std::size_t limit_;
};

TEST_F(RetryPolicyTest, ManyImmediateRetriesRunOffTheStackAndAreNotBoundedByTheSession)
{
    auto retrier = std::make_shared<CountingRetrier>(5000);
    HttpSession session(HttpSessionConfiguration::defaultConfiguration(), retrier, transport);
    transport->script(401, "{}");

    int completions = 0;
    std::optional<DataResponse<std::string>> answer;
    session.requestWithParameters("https://fake.invalid/x")->validateStatus().onDataResponse(DispatchQueue::main(), [&](const auto& response) {
        ++completions;
        answer = response;
    });
    env.runUntilIdle();

    ASSERT_TRUE(answer);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(transport->sent.size(), 5001u);
    EXPECT_EQ(answer->result.error().responseCode(), 401);
}

TEST_F(RetryPolicyTest, TransportAndDecodingFailuresAreOfferedToTheRetrier)
{
    auto retrier = std::make_shared<CountingRetrier>(2);
    HttpSession session(HttpSessionConfiguration::defaultConfiguration(), retrier, transport);
    transport->scriptFailure(TransportError::Code::cannotConnect);
    transport->script(200, "not json");
    transport->script(200, R"({"n":1})");

    std::optional<DataResponse<nlohmann::json>> answer;
    session.requestWithParameters("https://fake.invalid/x")->onJSONResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    env.runUntilIdle();

    ASSERT_TRUE(answer);
    ASSERT_TRUE(answer->result.isSuccess());
    EXPECT_EQ(answer->result.value()["n"], 1);
    EXPECT_EQ(retrier->kinds, (std::vector { HttpClientError::Kind::transportFailed, HttpClientError::Kind::decodingFailed }));
}

TEST_F(RetryPolicyTest, SessionHeadersFillOnlyWhatTheRequestLeavesOpen)
{
    HttpSession session(HttpSessionConfiguration::defaultConfiguration(), nullptr, transport);
    std::optional<RawResponse> answer;
    session.requestWithParameters("https://fake.invalid/x", HttpMethod::get(), std::nullopt, UrlEncoding::methodDependent, { { "user-agent", "mine" } })
        ->onRawResponse(DispatchQueue::main(), [&](const RawResponse& response) { answer = response; });
    env.runUntilIdle();

    ASSERT_EQ(transport->sent.size(), 1u);
    const auto& headers = transport->sent[0].headers;
    EXPECT_EQ(headers.value("User-Agent"), "mine");
    EXPECT_TRUE(headers.contains("Accept-Encoding"));
    EXPECT_TRUE(headers.contains("Accept-Language"));
    EXPECT_EQ(transport->sent[0].timeout, std::chrono::seconds(60));
    EXPECT_NE(HttpSessionConfiguration::defaultConfiguration().headers.value("User-Agent")->find("com.brantwick.tolven.tests"), std::string::npos);
}

} // namespace
} // namespace platform
