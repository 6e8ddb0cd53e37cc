#include "TOLVEN/SceneDelegate.h"

#include "TOLVEN/AppDelegate.h"
#include "TOLVEN/CardErrorText.h"
#include "TOLVEN/home/PayCallbackRouter.h"
#include "TOLVEN/home/PrivacyOverlayManager.h"
#include "lumitrex/Error.h"
#include "lumitrex/MobileCard.h"
#include "platform/foundation/Console.h"
#include "platform/ui/Application.h"

namespace tolven {

using namespace platform::ui;

void SceneDelegate::sceneWillConnect(Scene& scene, const SceneConnectionOptions& options)
{
    auto* windowScene = dynamic_cast<WindowScene*>(&scene);
    if (!windowScene)
        return;
    if (window) {
        window->setOverrideUserInterfaceStyle(UserInterfaceStyle::light);
    } else {
        // A window of the scene's own, without a root screen.
        window = std::make_shared<Window>(std::static_pointer_cast<WindowScene>(windowScene->shared_from_this()));
        window->makeKeyAndVisible();
        window->setOverrideUserInterfaceStyle(UserInterfaceStyle::light);
    }
    PrivacyOverlayManager::shared();
    // The platform's set of contexts has no order: any one of them is "the first".
    if (!options.urlContexts.empty())
        PayCallbackRouter::shared().handleCallbackURL(options.urlContexts.front().url);
}

void SceneDelegate::sceneOpenURLContexts(Scene&, const std::vector<OpenURLContext>& contexts)
{
    if (!contexts.empty())
        PayCallbackRouter::shared().handleCallbackURL(contexts.front().url);
}

void SceneDelegate::sceneDidBecomeActive(Scene&)
{
    startMobileCard();
}

void SceneDelegate::startMobileCard()
{
    auto& card = lumitrex::MobileCard::sharedInstance();
    if (!card.isAdvertising()) {
        try {
            card.startAdvertising();
        } catch (const lumitrex::Error& error) {
            platform::console(errorTextualForm(error.code()) + " : " + lumitrex::errorDescription(error.code()));
            return;
        }
    }
    platform::console("모바일 카드 시작");
}

void SceneDelegate::sceneWillResignActive(Scene&)
{
    lumitrex::MobileCard::sharedInstance().stopAdvertising();
    platform::console("모바일 카드 종료");
}

void SceneDelegate::sceneDidEnterBackground(Scene&)
{
    if (auto* appDelegate = dynamic_cast<AppDelegate*>(Application::shared().delegate().get()))
        appDelegate->saveContext();
}

} // namespace tolven
