#include "TOLVEN/home/PassKitHelper.h"

#include "platform/foundation/Console.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/passkit/sim/PassLibrarySimulation.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

using platform::AutomaticPassPresentationSuppressionResult;
using platform::PassLibrary;
using platform::PassLibrarySimulation;
using tolven::PassKitHelper;

namespace {

constexpr const char* suppressedLine = "애플페이 : Automatic Pass Presentation suppressed";
constexpr const char* refusedLine = "애플페이 : Could not suppress Automatic Pass Presentation";
constexpr const char* enabledLine = "애플페이 : Automatic Pass Presentation enabled";

struct PassKitHelperTest : ::testing::Test {
    PassKitHelperTest()
    {
        PassLibrarySimulation::reset();
        PassKitHelper::suppressionRequestToken().reset();
        platform::setConsoleSinkForTesting([this](std::string_view line) { console.emplace_back(line); });
    }
    ~PassKitHelperTest() override
    {
        platform::setConsoleSinkForTesting({});
        PassLibrarySimulation::reset();
    }

    void suppress()
    {
        PassKitHelper::suppressAutomaticPassPresentation();
        env.runUntilIdle();
    }

    platform::TestEnvironment env;
    std::vector<std::string> console;
};

} // namespace

TEST_F(PassKitHelperTest, AsksOnceWhileSuppressedAndEndsWithTheStoredToken)
{
    suppress();
    suppress();
    EXPECT_EQ(PassLibrarySimulation::requestCount(), 1);
    EXPECT_TRUE(PassLibrary::isSuppressingAutomaticPassPresentation());

    PassKitHelper::endAutomaticPassPresentationSuppression();
    EXPECT_FALSE(PassLibrary::isSuppressingAutomaticPassPresentation());
    EXPECT_TRUE(PassKitHelper::suppressionRequestToken());
    EXPECT_EQ(console, (std::vector<std::string> { suppressedLine, enabledLine }));
}

TEST_F(PassKitHelperTest, ARefusalIsLoggedAndTheNextAppearanceAsksAgain)
{
    using Result = AutomaticPassPresentationSuppressionResult;
    for (auto answer : { Result::denied, Result::notSupported, Result::alreadyPresenting, Result::cancelled }) {
        PassLibrarySimulation::setAnswer(answer);
        suppress();
    }
    EXPECT_EQ(PassLibrarySimulation::requestCount(), 4);
    EXPECT_EQ(console, std::vector<std::string>(4, refusedLine));
    EXPECT_TRUE(PassKitHelper::suppressionRequestToken());

    // Nothing in force: ending does nothing.
    PassKitHelper::endAutomaticPassPresentationSuppression();
    EXPECT_EQ(console.size(), 4u);
}

TEST_F(PassKitHelperTest, WithoutAPassLibraryOrATokenNothingHappens)
{
    PassLibrarySimulation::setAvailable(false);
    suppress();
    PassKitHelper::endAutomaticPassPresentationSuppression();
    EXPECT_EQ(PassLibrarySimulation::requestCount(), 0);
    EXPECT_FALSE(PassKitHelper::suppressionRequestToken());
    EXPECT_TRUE(console.empty());

    // A suppression in force that this helper did not ask for: no token, nothing ended.
    PassLibrarySimulation::setAvailable(true);
    PassLibrary::requestAutomaticPassPresentationSuppression(nullptr);
    env.runUntilIdle();
    PassKitHelper::endAutomaticPassPresentationSuppression();
    EXPECT_TRUE(PassLibrary::isSuppressingAutomaticPassPresentation());
    EXPECT_TRUE(console.empty());
}
