#include "TOLVEN/AppDelegate.h"

#include "TOLVEN/home/PrivacyOverlayManager.h"
#include "TOLVEN/home/ScreenshotAlertPresenter.h"
#include "TOLVEN/signin/SignInWiring.h"
#include "lumitrex/MobileCard.h"
#include "platform/foundation/Console.h"

namespace tolven {

namespace {

void logUnresolved(const platform::PersistenceError& error)
{
    platform::console("Unresolved error " + error.description + ", " + error.userInfoDescription());
}

} // namespace

bool AppDelegate::didFinishLaunching(platform::ui::Application&, const platform::ui::LaunchOptions&)
{
    ScreenshotAlertPresenter::shared();
    PrivacyOverlayManager::shared();
    connectGatewayTokenReports();
    return true;
}

platform::ui::SceneConfiguration AppDelegate::configurationForConnecting(platform::ui::Application&, const std::string& role)
{
    return { "Default Configuration", role, {}, {} };
}

void AppDelegate::applicationWillResignActive(platform::ui::Application&)
{
    lumitrex::MobileCard::sharedInstance().stopAdvertising();
}

platform::PersistentContainer& AppDelegate::persistentContainer()
{
    if (!persistentContainer_) {
        persistentContainer_ = std::make_unique<platform::PersistentContainer>(containerName);
        // Nothing reads or writes the store, so the application goes on without it.
        persistentContainer_->loadPersistentStores([](const platform::PersistentStoreDescription&, const std::optional<platform::PersistenceError>& error) {
            if (error)
                logUnresolved(*error);
        });
    }
    return *persistentContainer_;
}

void AppDelegate::saveContext()
{
    auto& context = persistentContainer().viewContext();
    if (!context.hasChanges())
        return;
    try {
        context.save();
    } catch (const platform::PersistenceError& error) {
        logUnresolved(error);
    }
}

} // namespace tolven
