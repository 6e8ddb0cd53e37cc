// The token manager on the production scheduler's threads. The tests wait for
// events and measure no time; under ThreadSanitizer they check the locking.
#include "TOLVEN/signin/TokenManager.h"

#include "platform/foundation/DispatchQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

namespace tolven {
namespace {

// Requests from several queues while another hands the credential over and
// back; every completion calls back in from yet another thread and waits for
// it, which a lock held across completions would make wait for ever.
TEST(TokenManagerThreadedTest, ConcurrentRequestsEachCompleteOnceWhileTheCredentialChangesHands)
{
    constexpr int requestQueues = 4;
    constexpr int requestsPerQueue = 100;
    constexpr int expected = requestQueues * requestsPerQueue * 2;

    auto manager = std::make_shared<TokenManager>();
    platform::Token withoutIdToken;
    withoutIdToken.id = "no-id-token";
    auto credential = std::make_shared<platform::Credential>(withoutIdToken);

    platform::DispatchQueue callBack("call back");
    std::atomic<int> completions { 0 };
    std::atomic<int> failures { 0 };
    std::promise<void> allCompleted;
    auto completed = [&](bool failed) {
        callBack.sync([&] { manager->currentGatewayToken(); });
        failures += failed ? 1 : 0;
        if (++completions == expected)
            allCompleted.set_value();
    };

    std::promise<void> handedOver;
    platform::DispatchQueue credentialQueue("credential");
    credentialQueue.async([&] {
        for (int i = 0; i < requestsPerQueue; ++i) {
            manager->setCredential(i % 2 ? nullptr : credential);
            manager->credential();
        }
        handedOver.set_value();
    });

    std::vector<platform::DispatchQueue> queues;
    for (int q = 0; q < requestQueues; ++q) {
        queues.emplace_back("requests " + std::to_string(q));
        queues.back().async([&] {
            for (int i = 0; i < requestsPerQueue; ++i) {
                manager->withValidGatewayToken(
                    [&](const GatewayTokenResult& result) { completed(std::holds_alternative<platform::DomainError>(result)); });
                manager->refreshForRetry([&](platform::RetryDecision decision) { completed(decision == platform::RetryDecision::doNotRetry); });
            }
        });
    }

    handedOver.get_future().wait();
    allCompleted.get_future().wait();
    queues.clear();
    EXPECT_EQ(completions, expected);
    // Without an ID token, with or without the credential, nothing can be exchanged.
    EXPECT_EQ(failures, expected);
    EXPECT_FALSE(manager->currentGatewayToken());
}

} // namespace
} // namespace tolven
