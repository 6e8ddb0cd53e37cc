#pragma once

#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/WindowScene.h"
#include "platform/ui/WindowSceneDelegate.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace platform::ui {

enum class ApplicationState { active, inactive, background };

// The one application object: its delegate, state, scenes and the addresses it
// hands to the system. State changes post the platform's notifications on the
// default notification centre, on the main queue.
class Application {
public:
    static constexpr const char* willResignActiveNotification = "UIApplicationWillResignActiveNotification";
    static constexpr const char* didBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
    static constexpr const char* didEnterBackgroundNotification = "UIApplicationDidEnterBackgroundNotification";
    static constexpr const char* willEnterForegroundNotification = "UIApplicationWillEnterForegroundNotification";
    static constexpr const char* userDidTakeScreenshotNotification = "UIApplicationUserDidTakeScreenshotNotification";
    // Opens this application's page in the system settings.
    static constexpr const char* openSettingsURLString = "app-settings:";

    static Application& shared();

    ApplicationState applicationState() const { return state_; }
    const std::shared_ptr<ApplicationDelegate>& delegate() const { return delegate_; }
    const std::vector<std::shared_ptr<Scene>>& connectedScenes() const { return scenes_; }
    std::vector<std::shared_ptr<Window>> windows() const;
    std::shared_ptr<Window> keyWindow() const { return keyWindow_.lock(); }

    // Whether some application (this one included) handles the address's scheme.
    bool canOpenURL(const std::string& url) const;
    // Hands the address to the system, which records it. An address with one of
    // this application's own schemes comes back through the scene delegate.
    // The completion says whether it could be opened.
    void open(const std::string& url, std::function<void(bool)> completion = {});
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    // Schemes that other applications on the simulated phone handle.
    void registerExternalScheme(const std::string& scheme) { externalSchemes_.insert(lowercase(scheme)); }

    // Launching and the moves between states, in the platform's order.
    // launch() makes the delegate's scene with its window from the main
    // storyboard, connects it and makes it active.
    void launch(std::shared_ptr<ApplicationDelegate> delegate, const LaunchOptions& options = {});
    void resignActive();
    void becomeActive();
    void enterBackground();
    void enterForeground();
    void userDidTakeScreenshot();

private:
    friend class Window;
    friend void resetApplicationForTesting();
    void setKeyWindow(const std::shared_ptr<Window>& window) { keyWindow_ = window; }
    std::set<std::string> ownSchemes() const;
    static std::string lowercase(std::string text);
    static std::string schemeOf(const std::string& url);
    void connectScene(const LaunchOptions& options);
    void post(const char* name);

    ApplicationState state_ = ApplicationState::inactive;
    std::shared_ptr<ApplicationDelegate> delegate_;
    std::vector<std::shared_ptr<Scene>> scenes_;
    std::weak_ptr<Window> keyWindow_;
    std::vector<std::string> openedURLs_;
    std::set<std::string> externalSchemes_ {"http", "https", "tel", "mailto", "app-settings"};
};

}
