#pragma once

#include "platform/ui/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class Scene;

struct OpenURLContext {
    std::string url;
};

struct SceneConnectionOptions {
    std::vector<OpenURLContext> urlContexts;
};

// Hears what happens to one scene; the platform keeps one per connected scene.
class WindowSceneDelegate {
public:
    virtual ~WindowSceneDelegate() = default;

    // The scene's main window, made from the main storyboard before willConnect.
    std::shared_ptr<Window> window;

    virtual void sceneWillConnect(Scene&, const SceneConnectionOptions&) { }
    virtual void sceneOpenURLContexts(Scene&, const std::vector<OpenURLContext>&) { }
    virtual void sceneDidBecomeActive(Scene&) { }
    virtual void sceneWillResignActive(Scene&) { }
    virtual void sceneWillEnterForeground(Scene&) { }
    virtual void sceneDidEnterBackground(Scene&) { }
};

}
