#include "platform/ui/AlertController.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/tests/UiTestSupport.h"

using namespace std::chrono_literals;

namespace platform::ui {
namespace {

using testing::UiTest;

// Records its lifecycle calls into a shared log.
class RecordingScreen : public ViewController {
public:
    RecordingScreen(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) { }
    void viewDidLoad() override { log_.push_back(name_ + " load"); }
    void viewWillAppear(bool) override { log_.push_back(name_ + " willAppear"); }
    void viewDidAppear(bool) override { log_.push_back(name_ + " didAppear"); }
    void viewWillDisappear(bool) override { log_.push_back(name_ + " willDisappear"); }
    void viewDidDisappear(bool) override { log_.push_back(name_ + " didDisappear"); }
    void viewWillLayoutSubviews() override { log_.push_back(name_ + " willLayout"); }
    void viewDidLayoutSubviews() override { log_.push_back(name_ + " didLayout"); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class PresentationTest : public UiTest {
protected:
    PresentationTest()
    {
        home = std::make_shared<RecordingScreen>("home", log);
        show(home);
    }
    std::vector<std::string> log;
    std::shared_ptr<RecordingScreen> home;
};

TEST_F(PresentationTest, LifecycleComesInThePlatformsOrder)
{
    EXPECT_EQ(log, (std::vector<std::string> {"home load", "home willAppear", "home willLayout", "home didLayout", "home didAppear"}));
}

TEST_F(PresentationTest, AnimatedPresentationCompletesOnTheVirtualClock)
{
    log.clear();
    auto menu = std::make_shared<RecordingScreen>("menu", log);
    menu->setModalPresentationStyle(ModalPresentationStyle::fullScreen);
    bool completed = false;
    home->present(menu, true, [&] { completed = true; });
    EXPECT_EQ(home->presentedViewController(), menu);
    EXPECT_EQ(menu->presentingViewController(), home);
    EXPECT_TRUE(menu->isBeingPresented());

    env.fastForwardBy(299ms);
    EXPECT_FALSE(completed);
    env.fastForwardBy(1ms);
    EXPECT_TRUE(completed);
    EXPECT_EQ(log, (std::vector<std::string> {"menu load", "menu willAppear", "home willDisappear", "menu willLayout",
                                               "menu didLayout", "menu didAppear", "home didDisappear"}));
    // The covered screen leaves the window until it is uncovered again.
    EXPECT_EQ(home->view()->window(), nullptr);
    EXPECT_EQ(menu->view()->window(), window.get());

    log.clear();
    menu->dismiss(false);
    env.runUntilIdle();
    EXPECT_EQ(home->presentedViewController(), nullptr);
    EXPECT_EQ(home->view()->window(), window.get());
    EXPECT_EQ(menu->view()->window(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string> {"menu willDisappear", "home willAppear", "home willLayout", "home didLayout",
                                               "menu didDisappear", "home didAppear"}));
}

TEST_F(PresentationTest, PresentingWhileAlreadyPresentingIsRefusedWithAWarning)
{
    auto first = std::make_shared<ViewController>();
    auto second = std::make_shared<ViewController>();
    home->present(first, false);
    bool secondCompleted = false;
    home->present(second, false, [&] { secondCompleted = true; });
    env.fastForwardBy(1s);
    EXPECT_EQ(home->presentedViewController(), first);
    EXPECT_FALSE(secondCompleted);
    ASSERT_EQ(console.size(), 1u);
    EXPECT_EQ(console[0], "Attempt to present <ViewController> on <RecordingScreen> which is already presenting <ViewController>.");

    // The top of the chain may present; a screen outside any window may not.
    first->present(second, false);
    env.runUntilIdle();
    EXPECT_EQ(first->presentedViewController(), second);
    auto loose = std::make_shared<ViewController>();
    loose->present(std::make_shared<ViewController>(), false);
    EXPECT_NE(console.back().find("whose view is not in the window hierarchy"), std::string::npos);

    // Dismissing from the bottom takes the whole chain away.
    home->dismiss(false);
    env.runUntilIdle();
    EXPECT_EQ(home->presentedViewController(), nullptr);
    EXPECT_EQ(first->presentedViewController(), nullptr);
    EXPECT_EQ(second->view()->window(), nullptr);
}

TEST_F(PresentationTest, AScreenStillBeingPresentedPresentsOnceItHasAppeared)
{
    auto child = std::make_shared<ViewController>();
    auto grandchild = std::make_shared<ViewController>();
    home->present(child, true);
    child->present(grandchild, false);
    EXPECT_EQ(child->presentedViewController(), nullptr);
    env.fastForwardBy(300ms);
    env.runUntilIdle();
    EXPECT_EQ(child->presentedViewController(), grandchild);
    EXPECT_TRUE(console.empty());
}

TEST_F(PresentationTest, AlertActionDismissesAndThenRunsItsHandler)
{
    auto alert = std::make_shared<AlertController>("Title", "Message", AlertControllerStyle::alert);
    std::vector<std::string> events;
    alert->addAction(std::make_shared<AlertAction>("OK", AlertActionStyle::defaultStyle, [&](AlertAction& a) {
        events.push_back("handler " + a.title() + (home->presentedViewController() ? " while shown" : " after dismissal"));
    }));
    alert->addAction(std::make_shared<AlertAction>("Cancel", AlertActionStyle::cancel));
    home->present(alert, true);
    env.fastForwardBy(300ms);
    EXPECT_EQ(home->view()->window(), window.get()) << "an alert leaves its presenter on screen";

    alert->setMessage("Changed");
    window->layoutIfNeeded();
    bool found = false;
    forEachView(*alert->view(), [&](View& v) { found = found || v.displayedText() == std::optional<std::string>("Changed"); });
    EXPECT_TRUE(found);

    alert->performAction(*alert->actions()[0]);
    alert->performAction(*alert->actions()[0]);
    alert->performAction(*alert->actions()[1]);
    EXPECT_TRUE(events.empty());
    env.fastForwardBy(300ms);
    EXPECT_EQ(events, (std::vector<std::string> {"handler OK after dismissal"}));
}

}
}
