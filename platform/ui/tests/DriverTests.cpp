#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/tests/UiTestSupport.h"

using namespace std::chrono_literals;

namespace platform::ui {
namespace {

using testing::UiTest;

class CardScreen final : public ViewController {
public:
    std::shared_ptr<Button> pay = std::make_shared<Button>();
    std::shared_ptr<View> cover = std::make_shared<View>(Rect {0, 600, 390, 100});
    std::shared_ptr<ScrollView> pages = std::make_shared<ScrollView>();
    int payTaps = 0;

    void viewDidLoad() override
    {
        auto title = std::make_shared<Label>();
        title->setText("사원증");
        title->setFrame({20, 60, 200, 30});
        view()->addSubview(title);
        pay->setTitle("Pay");
        pay->setAccessibilityIdentifier("pay");
        pay->setFrame({20, 620, 100, 44});
        pay->addTarget(ControlEvent::touchUpInside, [this](Control&) { ++payTaps; });
        view()->addSubview(pay);
        cover->setAccessibilityIdentifier("cover");
        cover->setHidden(true);
        view()->addSubview(cover);
        pages->setFrame({0, 100, 390, 400});
        pages->setContentSize({780, 400});
        pages->setPagingEnabled(true);
        pages->setContentInsetAdjustmentBehavior(ContentInsetAdjustmentBehavior::never);
        view()->addSubview(pages);
    }
};

class DriverTest : public UiTest {
protected:
    DriverTest()
    {
        screen = std::make_shared<CardScreen>();
        show(screen);
    }
    UiDriver driver;
    std::shared_ptr<CardScreen> screen;
};

TEST_F(DriverTest, TapsReachOnlyWhatAFingerWouldReach)
{
    EXPECT_TRUE(driver.tap(driver.find("pay")));
    EXPECT_EQ(screen->payTaps, 1);

    screen->pay->setEnabled(false);
    driver.tap(driver.find("pay"));
    screen->pay->setEnabled(true);
    screen->cover->setHidden(false);
    EXPECT_EQ(driver.find("cover"), screen->cover.get());
    driver.tap(driver.find("pay"));
    EXPECT_EQ(screen->payTaps, 1) << "disabled, then covered";

    screen->cover->setUserInteractionEnabled(false);
    driver.tap(driver.find("pay"));
    EXPECT_EQ(screen->payTaps, 2) << "a cover that takes no touches lets them through";
    EXPECT_EQ(driver.findText("Pay"), screen->pay.get());
    EXPECT_EQ(driver.find("nothing"), nullptr);
}

TEST_F(DriverTest, AlertButtonsAreTappedByTitleAndTextsComeFromTheTopScreen)
{
    EXPECT_EQ(driver.textsOnTopScreen(), (std::vector<std::string> {"사원증", "Pay"}));
    auto alert = std::make_shared<AlertController>("Title", "Body", AlertControllerStyle::alert);
    bool confirmed = false;
    alert->addAction(std::make_shared<AlertAction>("확인", AlertActionStyle::defaultStyle, [&](AlertAction&) { confirmed = true; }));
    screen->present(alert, true);
    env.fastForwardBy(300ms);
    EXPECT_EQ(driver.topScreenClassName(), "AlertController");
    EXPECT_EQ(driver.textsOnTopScreen(), (std::vector<std::string> {"Title", "Body", "확인"}));
    EXPECT_FALSE(driver.tapAlertButton("취소"));
    EXPECT_TRUE(driver.tapAlertButton("확인"));
    env.fastForwardBy(300ms);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(driver.topScreen(), screen);
}

TEST_F(DriverTest, ScrollingSettlesOnAPageAndTellsTheDelegate)
{
    struct Recorder : ScrollViewDelegate {
        std::vector<double> offsets;
        void scrollViewDidScroll(ScrollView& s) override { offsets.push_back(s.contentOffset().x); }
    };
    auto recorder = std::make_shared<Recorder>();
    screen->pages->setDelegate(recorder);
    driver.scroll(*screen->pages, {250, 0});
    driver.scroll(*screen->pages, {5000, 0});
    driver.scroll(*screen->pages, {100, 0});
    EXPECT_EQ(recorder->offsets, (std::vector<double> {390, 0}));
}

TEST_F(DriverTest, ScreenshotsRecordingAndStatesPostTheirNotifications)
{
    std::vector<std::string> posted;
    std::vector<NotificationCenter::Token> tokens;
    for (const char* name : {Application::userDidTakeScreenshotNotification, Screen::capturedDidChangeNotification,
                             Application::willResignActiveNotification, Application::didBecomeActiveNotification})
        tokens.push_back(NotificationCenter::defaultCenter().addObserver(name, [&](const Notification& n) { posted.push_back(n.name); }));
    Application::shared().launch(std::make_shared<ApplicationDelegate>());
    posted.clear();

    driver.takeScreenshot();
    driver.startScreenRecording();
    driver.startScreenRecording();
    EXPECT_TRUE(Screen::main().isCaptured());
    driver.stopScreenRecording();
    driver.resignActive();
    driver.becomeActive();
    EXPECT_EQ(posted, (std::vector<std::string> {Application::userDidTakeScreenshotNotification, Screen::capturedDidChangeNotification,
                                                  Screen::capturedDidChangeNotification, Application::willResignActiveNotification,
                                                  Application::didBecomeActiveNotification}));
    for (auto token : tokens)
        NotificationCenter::defaultCenter().removeObserver(token);
}

}
}
