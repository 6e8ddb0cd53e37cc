#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/passkit/PassLibrary.h"
#include "platform/passkit/sim/PassLibrarySimulation.h"

#include <gtest/gtest.h>

using namespace platform;
using Result = AutomaticPassPresentationSuppressionResult;

namespace {

struct PassLibraryTest : ::testing::Test {
    PassLibraryTest() { PassLibrarySimulation::reset(); }
    ~PassLibraryTest() override { PassLibrarySimulation::reset(); }

    // Requests and returns the token and the answer once the main queue has run.
    std::pair<PassLibraryRequestToken, std::optional<Result>> request()
    {
        std::optional<Result> answer;
        auto token = PassLibrary::requestAutomaticPassPresentationSuppression([&](Result result) {
            EXPECT_TRUE(scheduler().isMainThread());
            answer = result;
        });
        EXPECT_FALSE(answer) << "answered inside the call";
        env.runUntilIdle();
        return { token, answer };
    }

    TestEnvironment env;
};

} // namespace

TEST_F(PassLibraryTest, AGrantedRequestSuppressesUntilEndedWithItsToken)
{
    EXPECT_TRUE(PassLibrary::isPassLibraryAvailable());
    EXPECT_FALSE(PassLibrary::isSuppressingAutomaticPassPresentation());
    auto [token, answer] = request();
    EXPECT_EQ(answer, Result::success);
    EXPECT_TRUE(PassLibrary::isSuppressingAutomaticPassPresentation());

    PassLibrary::endAutomaticPassPresentationSuppression(token + 1);
    EXPECT_TRUE(PassLibrary::isSuppressingAutomaticPassPresentation());
    PassLibrary::endAutomaticPassPresentationSuppression(token);
    EXPECT_FALSE(PassLibrary::isSuppressingAutomaticPassPresentation());
}

TEST_F(PassLibraryTest, EveryOtherAnswerLeavesPassesUnsuppressed)
{
    for (auto scripted : { Result::denied, Result::notSupported, Result::alreadyPresenting, Result::cancelled }) {
        SCOPED_TRACE(static_cast<int>(scripted));
        PassLibrarySimulation::setAnswer(scripted);
        auto [token, answer] = request();
        EXPECT_EQ(answer, scripted);
        EXPECT_FALSE(PassLibrary::isSuppressingAutomaticPassPresentation());
    }
    PassLibrarySimulation::setAvailable(false);
    PassLibrarySimulation::setAnswer(Result::success);
    EXPECT_FALSE(PassLibrary::isPassLibraryAvailable());
    EXPECT_EQ(request().second, Result::notSupported);
    EXPECT_EQ(PassLibrarySimulation::requestCount(), 5);
}

TEST_F(PassLibraryTest, WithoutAWalletNothingIsAvailableAndRequestsAreNotSupported)
{
    auto* simulated = PassLibrary::install(nullptr);
    EXPECT_FALSE(PassLibrary::isPassLibraryAvailable());
    auto [token, answer] = request();
    EXPECT_EQ(answer, Result::notSupported);
    PassLibrary::endAutomaticPassPresentationSuppression(token);
    EXPECT_FALSE(PassLibrary::isSuppressingAutomaticPassPresentation());
    EXPECT_EQ(PassLibrarySimulation::requestCount(), 0);
    PassLibrary::install(simulated);
}
