#include "TOLVEN/home/CountdownConfirm.h"

#include "platform/ui/AlertController.h"
#include "platform/ui/tests/UiTestSupport.h"

using namespace std::chrono_literals;
using namespace platform::ui;

namespace {

constexpr const char* question = "이 기기를 등록하시겠습니까?";

class CountdownConfirmTest : public platform::ui::testing::UiTest {
protected:
    CountdownConfirmTest()
    {
        root = std::make_shared<ViewController>();
        show(root);
        tolven::presentCountdownConfirm(*root, question, [this] { ++confirmed; }, [this] { ++cancelled; });
    }

    std::shared_ptr<AlertController> alert() const { return std::dynamic_pointer_cast<AlertController>(root->presentedViewController()); }

    // Lets the presentation finish: the count starts only then.
    void waitForPresentation() { env.fastForwardBy(transitionDurationForTests()); }
    static platform::Duration transitionDurationForTests() { return 1ms * 400; }

    void tap(const std::string& title)
    {
        for (const auto& action : alert()->actions())
            if (action->title() == title)
                alert()->performAction(*action);
    }

    std::shared_ptr<ViewController> root;
    int confirmed = 0;
    int cancelled = 0;
};

} // namespace

TEST_F(CountdownConfirmTest, CountsDownOncePresentedAndCancelsAfterTheTenthTick)
{
    auto shown = alert();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->title(), "로그인 안내");
    EXPECT_EQ(shown->preferredStyle(), AlertControllerStyle::alert);
    ASSERT_EQ(shown->actions().size(), 2u);
    EXPECT_EQ(shown->actions()[0]->title(), "등록");
    EXPECT_EQ(shown->actions()[1]->title(), "취소");
    EXPECT_EQ(shown->actions()[1]->style(), AlertActionStyle::destructive);
    EXPECT_EQ(shown->message(), std::string(question) + "\n\n자동 취소까지 10초");

    waitForPresentation();
    env.fastForwardBy(3s);
    EXPECT_EQ(shown->message(), std::string(question) + "\n\n자동 취소까지 7초");

    env.fastForwardBy(6s);
    EXPECT_EQ(shown->message(), std::string(question) + "\n\n자동 취소까지 1초");
    EXPECT_EQ(root->presentedViewController(), shown);
    env.fastForwardBy(1s);
    // The tenth tick dismisses; the answer comes once the dismissal has finished.
    EXPECT_EQ(cancelled, 0);
    env.fastForwardBy(1s);
    EXPECT_FALSE(root->presentedViewController());
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(confirmed, 0);
    env.fastForwardBy(20s);
    EXPECT_EQ(cancelled, 1);
}

TEST_F(CountdownConfirmTest, AButtonAnswersOnceAndStopsTheCount)
{
    struct Case {
        const char* button;
        int confirmed;
        int cancelled;
    };
    for (const auto& c : { Case { "등록", 1, 0 }, Case { "취소", 0, 1 } }) {
        SCOPED_TRACE(c.button);
        if (!alert()) {
            confirmed = cancelled = 0;
            tolven::presentCountdownConfirm(*root, question, [this] { ++confirmed; }, [this] { ++cancelled; });
        }
        waitForPresentation();
        env.fastForwardBy(4s);
        auto shown = alert();
        tap(c.button);
        env.fastForwardBy(30s);
        EXPECT_EQ(confirmed, c.confirmed);
        EXPECT_EQ(cancelled, c.cancelled);
        EXPECT_EQ(shown->message(), std::string(question) + "\n\n자동 취소까지 6초");
        EXPECT_FALSE(root->presentedViewController());
    }
}

TEST_F(CountdownConfirmTest, AnAlertDismissedByOthersGetsNoAnswer)
{
    waitForPresentation();
    root->dismiss(false);
    env.fastForwardBy(30s);
    EXPECT_EQ(confirmed, 0);
    EXPECT_EQ(cancelled, 0);
}
