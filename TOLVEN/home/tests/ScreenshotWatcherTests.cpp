#include "TOLVEN/home/OverlayHostingController.h"
#include "TOLVEN/home/PrivacyOverlayManager.h"
#include "TOLVEN/home/ScreenshotAlertPresenter.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/interface/ClassRegistry.h"
#include "platform/ui/tests/UiTestSupport.h"

using namespace std::chrono_literals;
using namespace platform::ui;
using tolven::ScreenshotAlertPresenter;

namespace {

class ScreenshotWarningDelegate final : public ApplicationDelegate {
public:
    SceneConfiguration configurationForConnecting(Application&, const std::string& role) override
    {
        return { "Default Configuration", role, "RootSceneDelegate", {} };
    }
};

class ScreenshotWarningTest : public platform::ui::testing::UiTest {
protected:
    ScreenshotWarningTest()
    {
        ClassRegistry::shared().registerSceneDelegate("RootSceneDelegate", [] { return std::make_shared<RootSceneDelegate>(); });
        Application::shared().launch(std::make_shared<ScreenshotWarningDelegate>());
        env.runUntilIdle();
        ScreenshotAlertPresenter::shared().resetForTesting();
        tolven::PrivacyOverlayManager::shared();
        coverToken = platform::NotificationCenter::defaultCenter().addObserver(tolven::PrivacyOverlayManager::didDetectScreenshotNotification,
            [this](const platform::Notification&) { ++coverNotices; });
    }
    ~ScreenshotWarningTest() override { platform::NotificationCenter::defaultCenter().removeObserver(coverToken); }

    // A scene whose window shows a plain root screen.
    class RootSceneDelegate final : public WindowSceneDelegate {
    public:
        void sceneWillConnect(Scene& scene, const SceneConnectionOptions&) override
        {
            window = std::make_shared<Window>(std::static_pointer_cast<WindowScene>(scene.shared_from_this()));
            window->setRootViewController(std::make_shared<ViewController>());
            window->makeKeyAndVisible();
        }
    };

    std::shared_ptr<ViewController> root() const { return ScreenshotAlertPresenter::activeRootViewController(); }

    // The warnings on screen, from the root up.
    std::vector<std::shared_ptr<AlertController>> warnings() const
    {
        std::vector<std::shared_ptr<AlertController>> found;
        for (auto screen = root() ? root()->presentedViewController() : nullptr; screen; screen = screen->presentedViewController())
            if (auto alert = std::dynamic_pointer_cast<AlertController>(screen); alert && alert->title() == "스크린샷이 캡쳐되었습니다")
                found.push_back(alert);
        return found;
    }

    void screenshot()
    {
        Application::shared().userDidTakeScreenshot();
        env.runUntilIdle();
    }

    platform::NotificationCenter::Token coverToken;
    int coverNotices = 0;
};

} // namespace

TEST_F(ScreenshotWarningTest, WarnsAtMostOncePerFiveSecondsOnTheTopMostScreen)
{
    ASSERT_TRUE(root());
    screenshot();
    ASSERT_EQ(warnings().size(), 1u);
    EXPECT_EQ(warnings()[0]->message(), "민감 정보 공유에 주의해 주세요.");
    ASSERT_EQ(warnings()[0]->actions().size(), 1u);
    EXPECT_EQ(warnings()[0]->actions()[0]->title(), "확인");
    EXPECT_EQ(coverNotices, 1);

    env.fastForwardBy(3s);
    screenshot();
    EXPECT_EQ(warnings().size(), 1u);
    EXPECT_EQ(coverNotices, 2);

    // Up to and exactly five seconds after the first warning: none.
    env.fastForwardBy(1999ms);
    screenshot();
    env.fastForwardBy(1ms);
    screenshot();
    EXPECT_EQ(warnings().size(), 1u);
    env.fastForwardBy(1ms);
    screenshot();
    // The first warning still shows: it is the top-most screen and presents the second.
    ASSERT_EQ(warnings().size(), 2u);
    EXPECT_EQ(warnings()[1]->presentingViewController(), warnings()[0]);
}

TEST_F(ScreenshotWarningTest, NoWarningWhileInactiveAndTheClockIsNotMoved)
{
    Application::shared().resignActive();
    screenshot();
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(coverNotices, 1);

    Application::shared().becomeActive();
    screenshot();
    env.fastForwardBy(1s);
    EXPECT_EQ(warnings().size(), 1u);
}

TEST_F(ScreenshotWarningTest, ASheetAlreadyShowingPresentsTheWarning)
{
    auto sheet = std::make_shared<ViewController>();
    root()->present(sheet, false);
    env.runUntilIdle();
    screenshot();
    ASSERT_EQ(warnings().size(), 1u);
    EXPECT_EQ(warnings()[0]->presentingViewController(), sheet);
}

TEST_F(ScreenshotWarningTest, AScreenStillBeingPresentedShowsTheWarningOnceItHasAppeared)
{
    // A screen whose presentation has begun but not ended is both presented and still the top.
    auto sheet = std::make_shared<ViewController>();
    root()->present(sheet, true);
    ScreenshotAlertPresenter::shared().presentScreenshotAlert();
    auto top = ScreenshotAlertPresenter::topMostViewController(root());
    EXPECT_EQ(top, sheet);
    env.fastForwardBy(1s);
    ASSERT_EQ(warnings().size(), 1u);
}

TEST_F(ScreenshotWarningTest, TheCaptureCoverHasNothingToCover)
{
    EXPECT_TRUE(tolven::PrivacyOverlayManager::shared().overlayWindowsForConnectedScenes().empty());
    Screen::main().setCaptured(true);
    Application::shared().resignActive();
    Application::shared().becomeActive();
    Screen::main().setCaptured(false);
    env.fastForwardBy(1s);
    EXPECT_EQ(Application::shared().windows().size(), 1u);
    EXPECT_FALSE(Application::shared().windows()[0]->isHidden());
}

TEST(OverlayHostingControllerTest, ABlurCoversTheWholeTransparentScreenAndTakesNoTouch)
{
    auto cover = std::make_shared<tolven::OverlayHostingController>();
    const auto& root = cover->view();
    EXPECT_EQ(root->alpha(), 0);
    EXPECT_FALSE(root->isUserInteractionEnabled());
    EXPECT_EQ(cover->blur->effect(), BlurEffectStyle::regular);
    root->setFrame({ 0, 0, 390, 844 });
    root->layoutIfNeeded();
    EXPECT_EQ(cover->blur->frame(), root->bounds());
}

TEST(TopMostScreenTest, ContainersHandOnToTheScreenTheyShow)
{
    auto card = std::make_shared<ViewController>();
    auto notices = std::make_shared<ViewController>();
    auto stack = std::make_shared<NavigationController>(card);
    stack->pushViewController(notices, false);
    auto emptyStack = std::make_shared<NavigationController>();
    auto parking = std::make_shared<ViewController>();
    auto tabs = std::make_shared<TabBarController>();
    tabs->setViewControllers({ std::make_shared<ViewController>(), std::make_shared<NavigationController>(parking) });
    tabs->setSelectedIndex(1);
    auto emptyTabs = std::make_shared<TabBarController>();

    const std::vector<std::pair<std::shared_ptr<ViewController>, std::shared_ptr<ViewController>>> cases {
        { nullptr, nullptr },
        { card, card },
        { stack, notices },
        { emptyStack, emptyStack },
        { tabs, parking },
        { emptyTabs, emptyTabs },
    };
    for (const auto& [given, top] : cases)
        EXPECT_EQ(ScreenshotAlertPresenter::topMostViewController(given), top) << (given ? given->className() : "none");
}
