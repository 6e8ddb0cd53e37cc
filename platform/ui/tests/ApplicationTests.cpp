#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/interface/ClassRegistry.h"
#include "platform/ui/interface/Nib.h"
#include "platform/ui/interface/Storyboard.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <fstream>

namespace platform::ui {
namespace {

using testing::UiTest;

class GreetingScreen : public ViewController {
public:
    std::weak_ptr<Label> greeting;
    int taps = 0;
    void tapped() { ++taps; }
};

class RecordingSceneDelegate : public WindowSceneDelegate {
public:
    explicit RecordingSceneDelegate(std::vector<std::string>& log) : log_(log) { }
    void sceneWillConnect(Scene&, const SceneConnectionOptions& options) override
    {
        log_.push_back("connect " + (options.urlContexts.empty() ? std::string("-") : options.urlContexts[0].url));
    }
    void sceneOpenURLContexts(Scene&, const std::vector<OpenURLContext>& contexts) override { log_.push_back("open " + contexts[0].url); }
    void sceneDidBecomeActive(Scene&) override { log_.push_back("active"); }
    void sceneWillResignActive(Scene&) override { log_.push_back("resign"); }
    void sceneWillEnterForeground(Scene&) override { log_.push_back("foreground"); }
    void sceneDidEnterBackground(Scene&) override { log_.push_back("background"); }

private:
    std::vector<std::string>& log_;
};

constexpr const char* mainStoryboard = R"({
  "initialViewController": "GreetVC",
  "scenes": [
    {"identifier": "GreetVC", "class": "GreetingScreen",
     "view": {"class": "View", "id": "root", "backgroundColor": "white", "subviews": [
        {"class": "Label", "id": "greeting", "text": "Hello", "accessibilityIdentifier": "greeting"},
        {"class": "View", "id": "button", "frame": [0, 700, 100, 44]}]},
     "constraints": [
        {"first": "greeting.top", "second": "root.safeArea.top", "constant": 20},
        {"first": "greeting.leading", "second": "root.margins.leading"}],
     "outlets": {"greeting": "greeting", "missingOutlet": "greeting"},
     "actions": {"tapped": "button"}}
  ]
})";

class ApplicationTest : public UiTest {
protected:
    ApplicationTest()
    {
        auto& registry = ClassRegistry::shared();
        registry.registerViewController("GreetingScreen", [] { return std::make_shared<GreetingScreen>(); });
        registry.registerOutlet("GreetingScreen", "greeting", ClassRegistry::weakOutlet(&GreetingScreen::greeting));
        registry.registerAction("GreetingScreen", "tapped", ClassRegistry::memberAction(&GreetingScreen::tapped));
        registry.registerSceneDelegate("RecordingSceneDelegate", [this] { return std::make_shared<RecordingSceneDelegate>(log); });
        writeFile("Main.storyboard.json", mainStoryboard);
        env.setInfoValue("UIApplicationSceneManifest", PlistValue::Dictionary {{"UISceneConfigurations", PlistValue::Dictionary {
            {"UIWindowSceneSessionRoleApplication", PlistValue::Array {PlistValue::Dictionary {
                {"UISceneConfigurationName", "Default Configuration"},
                {"UISceneDelegateClassName", "RecordingSceneDelegate"},
                {"UISceneStoryboardFile", "Main"}}}}}}});
        env.setInfoValue("CFBundleURLTypes", PlistValue::Array {PlistValue::Dictionary {{"CFBundleURLSchemes", PlistValue::Array {"myapp"}}}});
        for (const char* name : {Application::didBecomeActiveNotification, Application::willResignActiveNotification})
            tokens.push_back(NotificationCenter::defaultCenter().addObserver(name, [this](const Notification& n) { log.push_back(n.name); }));
    }
    ~ApplicationTest() override
    {
        for (auto token : tokens)
            NotificationCenter::defaultCenter().removeObserver(token);
    }
    void writeFile(const std::string& name, const std::string& contents)
    {
        std::ofstream(env.bundleFolder() / name) << contents;
    }

    std::vector<std::string> log;
    std::vector<NotificationCenter::Token> tokens;
};

TEST_F(ApplicationTest, LaunchShowsTheInitialScreenAndMovesThroughStates)
{
    auto& app = Application::shared();
    app.launch(std::make_shared<ApplicationDelegate>(), {{"myapp://pay?result=ok"}});
    env.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string> {"connect myapp://pay?result=ok", "foreground", "active",
                                               Application::didBecomeActiveNotification}));
    ASSERT_EQ(app.connectedScenes().size(), 1u);
    auto windows = app.windows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_TRUE(windows[0]->isKeyWindow());
    auto screen = std::dynamic_pointer_cast<GreetingScreen>(windows[0]->rootViewController());
    ASSERT_TRUE(screen);
    auto greeting = screen->greeting.lock();
    ASSERT_TRUE(greeting);
    EXPECT_EQ(greeting->text(), "Hello");
    EXPECT_EQ(greeting->frame().origin, (Point {8, 67}));
    EXPECT_TRUE(consoleContains("Outlet missingOutlet of GreetingScreen could not be connected"));
    EXPECT_EQ(screen->storyboard()->name(), "Main");

    log.clear();
    app.enterBackground();
    app.becomeActive();
    EXPECT_EQ(log, (std::vector<std::string> {"resign", Application::willResignActiveNotification, "background", "foreground",
                                               "active", Application::didBecomeActiveNotification}));
    EXPECT_EQ(app.applicationState(), ApplicationState::active);
}

TEST_F(ApplicationTest, OpenedAddressesAreRecordedAndOwnSchemesComeBack)
{
    auto& app = Application::shared();
    app.launch(std::make_shared<ApplicationDelegate>());
    log.clear();
    std::vector<bool> results;
    EXPECT_TRUE(app.canOpenURL(Application::openSettingsURLString));
    EXPECT_FALSE(app.canOpenURL("ispmobile://pay"));
    app.registerExternalScheme("ispmobile");
    for (const char* url : {"ispmobile://pay", "MyApp://back", "unknown://x", "no scheme"})
        app.open(url, [&](bool opened) { results.push_back(opened); });
    env.runUntilIdle();
    EXPECT_EQ(results, (std::vector<bool> {true, true, false, false}));
    EXPECT_EQ(app.openedURLs(), (std::vector<std::string> {"ispmobile://pay", "MyApp://back"}));
    EXPECT_EQ(log, (std::vector<std::string> {"open MyApp://back"}));
}

TEST_F(ApplicationTest, MissingScreensAndFilesGiveNothingAndOneLine)
{
    auto storyboard = Storyboard::named("Main");
    ASSERT_TRUE(storyboard);
    EXPECT_EQ(storyboard->instantiateViewController("NoSuchVC"), nullptr);
    EXPECT_EQ(console.back(), "Storyboard 'Main' doesn't contain a view controller with identifier 'NoSuchVC'");
    EXPECT_EQ(Storyboard::named("Other"), nullptr);
    EXPECT_NE(console.back().find("Could not find a storyboard named 'Other'"), std::string::npos);
    writeFile("Broken.storyboard.json", "{\"scenes\": 3");
    EXPECT_EQ(Storyboard::named("Broken"), nullptr);
    EXPECT_TRUE(loadNibNamed("NoSuchNib", {}, "").empty());
    EXPECT_NE(console.back().find("with name 'NoSuchNib'"), std::string::npos);

    // Each instantiation is a new screen; actions reach the screen that owns them.
    auto first = std::dynamic_pointer_cast<GreetingScreen>(storyboard->instantiateViewController("GreetVC"));
    auto second = std::dynamic_pointer_cast<GreetingScreen>(storyboard->instantiateViewController("GreetVC"));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    View& button = *first->view()->subviews()[1];
    button.handleTap({1, 1});
    EXPECT_EQ(first->taps, 1);
    EXPECT_EQ(second->taps, 0);
}

}
}
