#pragma once

#include "platform/persistence/PersistentContainer.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Window.h"

#include <memory>

namespace tolven {

// The application's delegate: makes the process-wide watchers at launch, names
// the scene configuration, and keeps the persistence container.
class AppDelegate final : public platform::ui::ApplicationDelegate {
public:
    static constexpr const char* containerName = "ZelMcard";

    // The program never sets it.
    std::shared_ptr<platform::ui::Window> window;

    bool didFinishLaunching(platform::ui::Application&, const platform::ui::LaunchOptions&) override;
    platform::ui::SceneConfiguration configurationForConnecting(platform::ui::Application&, const std::string& role) override;
    void didDiscardSceneSessions() { }
    void applicationWillResignActive(platform::ui::Application&) override;

    // Made and loaded on first use, then kept for the life of the process.
    platform::PersistentContainer& persistentContainer();
    // Saves the view context when it has changes.
    void saveContext();

private:
    std::unique_ptr<platform::PersistentContainer> persistentContainer_;
};

} // namespace tolven
