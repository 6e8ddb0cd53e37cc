#pragma once

#include "platform/ui/WindowSceneDelegate.h"

namespace tolven {

// The window scene's delegate: light appearance, launch and later addresses to
// the payment callback router, and the access card running only while the
// scene is active.
class SceneDelegate final : public platform::ui::WindowSceneDelegate {
public:
    void sceneWillConnect(platform::ui::Scene& scene, const platform::ui::SceneConnectionOptions& options) override;
    void sceneOpenURLContexts(platform::ui::Scene& scene, const std::vector<platform::ui::OpenURLContext>& contexts) override;
    void sceneDidBecomeActive(platform::ui::Scene& scene) override;
    void sceneWillResignActive(platform::ui::Scene& scene) override;
    void sceneWillEnterForeground(platform::ui::Scene&) override { }
    void sceneDidEnterBackground(platform::ui::Scene& scene) override;

    void startMobileCard();
};

} // namespace tolven
