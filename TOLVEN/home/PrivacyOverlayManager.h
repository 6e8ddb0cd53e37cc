#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowScene.h"

#include <memory>
#include <utility>
#include <vector>

namespace tolven {

// Covers the application's screens while the screen is recorded or mirrored
// and while the application is not active, with one overlay window per window
// scene, and passes screenshots on under its own name. Nothing in the
// application enters an overlay window, so the table stays empty and the
// handlers find nothing to cover.
class PrivacyOverlayManager {
public:
    static constexpr const char* didDetectScreenshotNotification = "PrivacyOverlayManager.didDetectScreenshot";

    // Made on first use, listening from then on; lives until the process ends.
    static PrivacyOverlayManager& shared();

    void screenCapturedDidChange();
    void userDidTakeScreenshot();
    void appWillResignActive();
    void appDidBecomeActive();

    // The overlay windows of the connected window scenes.
    std::vector<std::shared_ptr<platform::ui::Window>> overlayWindowsForConnectedScenes() const;

private:
    PrivacyOverlayManager();
    void registerObservers();
    void applyCaptureState();
    void showOverlays();
    void hideOverlaysUnlessCaptured();
    void hideAnimated(const std::vector<std::shared_ptr<platform::ui::Window>>& overlays);

    // Scenes held weakly: an entry goes with its scene.
    std::vector<std::pair<std::weak_ptr<platform::ui::WindowScene>, std::shared_ptr<platform::ui::Window>>> overlayWindows_;
};

} // namespace tolven
