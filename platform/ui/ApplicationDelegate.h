#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class Application;

struct LaunchOptions {
    // Addresses the application was opened with.
    std::vector<std::string> urls;
};

struct SceneConfiguration {
    std::string name;
    std::string role = "UIWindowSceneSessionRoleApplication";
    // When empty, taken from the scene manifest of the bundle's Info.plist
    // entry with this configuration's name.
    std::string delegateClassName;
    std::string storyboardName;
};

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual bool didFinishLaunching(Application&, const LaunchOptions&) { return true; }
    virtual SceneConfiguration configurationForConnecting(Application&, const std::string& role)
    {
        return {"Default Configuration", role, {}, {}};
    }
    // Only an application without scenes hears these; scenes have their own.
    virtual void applicationWillResignActive(Application&) { }
    virtual void applicationDidBecomeActive(Application&) { }
};

}
