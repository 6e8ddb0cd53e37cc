#include "ShellFixture.h"

#include "TOLVEN/SceneDelegate.h"
#include "TOLVEN/home/PayCallbackRouter.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/NotificationCenter.h"

using namespace tolven;
using namespace tolven::testing;
using platform::ui::Application;

namespace {

constexpr const char* started = "모바일 카드 시작";
constexpr const char* stopped = "모바일 카드 종료";

class SceneLifecycleTest : public ShellTest {
protected:
    SceneLifecycleTest()
    {
        platform::ui::ClassRegistry::shared().registerViewController("ViewController", [] { return std::make_shared<platform::ui::ViewController>(); });
        callbackObserver = platform::NotificationCenter::defaultCenter().addObserver(PayCallbackRouter::notificationName,
            [this](const platform::Notification& notification) { callbacks.push_back(std::any_cast<PayCallback>(notification.object).rawURL); });
    }
    ~SceneLifecycleTest() override { platform::NotificationCenter::defaultCenter().removeObserver(callbackObserver); }

    std::shared_ptr<SceneDelegate> sceneDelegate()
    {
        const auto& scenes = Application::shared().connectedScenes();
        return scenes.empty() ? nullptr : std::dynamic_pointer_cast<SceneDelegate>(scenes.front()->delegate());
    }

    platform::NotificationCenter::Token callbackObserver;
    std::vector<std::string> callbacks;
};

} // namespace

TEST_F(SceneLifecycleTest, LaunchConnectsALightSceneAndTheCardRunsOnlyWhileItIsActive)
{
    lumitrex::MobileCard::sharedInstance().setData(kCardNumber, kCardNumber);
    // The card's radio reports its state before the scene comes.
    env.runUntilIdle();
    launch();
    auto delegate = sceneDelegate();
    ASSERT_TRUE(delegate);
    ASSERT_TRUE(delegate->window);
    EXPECT_EQ(delegate->window->overrideUserInterfaceStyle(), platform::ui::UserInterfaceStyle::light);
    EXPECT_TRUE(delegate->window->rootViewController());
    EXPECT_EQ(appDelegate->configurationForConnecting(Application::shared(), "role").name, "Default Configuration");
    EXPECT_TRUE(callbacks.empty());

    env.fastForwardBy(300ms);
    EXPECT_TRUE(phoneAdvertises());
    EXPECT_EQ(count(started), 1u);

    Application::shared().resignActive();
    env.fastForwardBy(1s);
    EXPECT_FALSE(phoneAdvertises());
    EXPECT_EQ(console.back(), stopped);

    Application::shared().becomeActive();
    env.fastForwardBy(300ms);
    EXPECT_TRUE(phoneAdvertises());
    EXPECT_EQ(count(started), 2u);
}

TEST_F(SceneLifecycleTest, ActivationWithTheCardRunningOrBluetoothOff)
{
    auto& card = lumitrex::MobileCard::sharedInstance();
    card.setData(kCardNumber, kCardNumber);
    env.runUntilIdle();
    launch();
    env.fastForwardBy(300ms);
    Application::shared().resignActive();

    // Already advertising: not started again, and still logged.
    card.startAdvertising();
    env.fastForwardBy(300ms);
    ASSERT_TRUE(card.isAdvertising());
    console.clear();
    Application::shared().becomeActive();
    EXPECT_EQ(console, std::vector<std::string> { started });

    // Bluetooth off: only the error line.
    Application::shared().resignActive();
    simulateBluetoothState(platform::ManagerState::poweredOff);
    console.clear();
    Application::shared().becomeActive();
    ASSERT_EQ(console.size(), 1u);
    EXPECT_TRUE(console[0].starts_with("poweredOff : ")) << console[0];
    EXPECT_FALSE(card.isAdvertising());

    // Switched on again: the next activation starts the card.
    Application::shared().resignActive();
    simulateBluetoothState(platform::ManagerState::poweredOn);
    console.clear();
    Application::shared().becomeActive();
    env.fastForwardBy(300ms);
    EXPECT_EQ(console, std::vector<std::string> { started });
    EXPECT_TRUE(phoneAdvertises());

    // Resigning logs the stop also when nothing ran.
    Application::shared().resignActive();
    Application::shared().becomeActive();
    simulateBluetoothState(platform::ManagerState::poweredOff);
    console.clear();
    Application::shared().resignActive();
    EXPECT_EQ(console, std::vector<std::string> { stopped });
}

TEST_F(SceneLifecycleTest, AddressesReachTheRouterOnceAtConnectionAndWhileRunning)
{
    launch({ "tolven://payment?result=success" });
    EXPECT_EQ(callbacks, std::vector<std::string> { "tolven://payment?result=success" });

    Application::shared().open("tolven://result?result=cancel");
    env.runUntilIdle();
    EXPECT_EQ(callbacks.size(), 2u);
    EXPECT_EQ(callbacks.back(), "tolven://result?result=cancel");

    sceneDelegate()->sceneOpenURLContexts(*Application::shared().connectedScenes().front(), {});
    EXPECT_EQ(callbacks.size(), 2u);
}

TEST_F(SceneLifecycleTest, ASceneThatIsNoWindowSceneIsLeftAlone)
{
    SceneDelegate delegate;
    platform::ui::Scene scene;
    delegate.sceneWillConnect(scene, { { { "tolven://payment?result=success" } } });
    EXPECT_FALSE(delegate.window);
    EXPECT_TRUE(callbacks.empty());
}

TEST_F(SceneLifecycleTest, TheFirstEntryIntoTheBackgroundCreatesTheContainerAndSavesNothing)
{
    launch();
    auto store = platform::PersistentContainer::defaultStoreURL(AppDelegate::containerName);
    EXPECT_FALSE(std::filesystem::exists(store));
    Application::shared().enterBackground();
    EXPECT_TRUE(std::filesystem::exists(store));
    EXPECT_EQ(count(stopped), 1u);
    EXPECT_FALSE(appDelegate->persistentContainer().viewContext().hasChanges());
}

TEST_F(SceneLifecycleTest, AStoreThatIsNoDatabaseIsReportedAndTheApplicationGoesOn)
{
    auto store = platform::PersistentContainer::defaultStoreURL(AppDelegate::containerName);
    ASSERT_TRUE(platform::writeFileAtomically(store, std::string(2048, 'x')));
    launch();
    Application::shared().enterBackground();
    auto line = std::find_if(console.begin(), console.end(), [](const std::string& l) { return l.starts_with("Unresolved error "); });
    ASSERT_NE(line, console.end());
    EXPECT_NE(line->find("file is not a database"), std::string::npos) << *line;
    EXPECT_NE(line->find(", {path = " + store.string()), std::string::npos) << *line;

    EXPECT_EQ(std::filesystem::file_size(store), 2048u);
}
