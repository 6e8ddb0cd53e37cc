#pragma once

#include "platform/ui/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class WindowSceneDelegate;

enum class SceneActivationState { unattached, foregroundActive, foregroundInactive, background };

// A connected scene: what the platform shows of the application in one place.
class Scene : public std::enable_shared_from_this<Scene> {
public:
    virtual ~Scene() = default;
    SceneActivationState activationState() const { return state_; }
    const std::shared_ptr<WindowSceneDelegate>& delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<WindowSceneDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    friend class Application;
    SceneActivationState state_ = SceneActivationState::unattached;
    std::shared_ptr<WindowSceneDelegate> delegate_;
};

// A scene with windows. It holds its windows weakly: the scene delegate's
// `window` keeps the main one alive.
class WindowScene final : public Scene {
public:
    std::vector<std::shared_ptr<Window>> windows() const;

private:
    friend class Window;
    void addWindow(Window& window) { windows_.push_back(&window); }
    void removeWindow(Window& window);
    // Registered by each window while it exists.
    std::vector<Window*> windows_;
};

}
