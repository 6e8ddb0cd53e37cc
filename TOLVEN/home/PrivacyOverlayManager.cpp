#include "TOLVEN/home/PrivacyOverlayManager.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"

namespace tolven {

using namespace platform::ui;

namespace {

constexpr platform::Duration fadeDuration = std::chrono::milliseconds(250);

// The overlay's own view, when its window has a root screen whose view exists.
View* coverOf(const Window& window)
{
    const auto& root = window.rootViewController();
    return root && root->isViewLoaded() ? root->view().get() : nullptr;
}

} // namespace

PrivacyOverlayManager& PrivacyOverlayManager::shared()
{
    static auto* manager = new PrivacyOverlayManager();
    return *manager;
}

PrivacyOverlayManager::PrivacyOverlayManager()
{
    registerObservers();
}

void PrivacyOverlayManager::registerObservers()
{
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(Screen::capturedDidChangeNotification, [this](const platform::Notification&) { screenCapturedDidChange(); });
    center.addObserver(Application::userDidTakeScreenshotNotification, [this](const platform::Notification&) { userDidTakeScreenshot(); });
    center.addObserver(Application::willResignActiveNotification, [this](const platform::Notification&) { appWillResignActive(); });
    center.addObserver(Application::didBecomeActiveNotification, [this](const platform::Notification&) { appDidBecomeActive(); });
}

void PrivacyOverlayManager::screenCapturedDidChange()
{
    platform::DispatchQueue::main().async([this] { applyCaptureState(); });
}

void PrivacyOverlayManager::userDidTakeScreenshot()
{
    platform::NotificationCenter::defaultCenter().post({ didDetectScreenshotNotification, {} });
}

void PrivacyOverlayManager::appWillResignActive()
{
    showOverlays();
}

void PrivacyOverlayManager::appDidBecomeActive()
{
    hideOverlaysUnlessCaptured();
}

std::vector<std::shared_ptr<Window>> PrivacyOverlayManager::overlayWindowsForConnectedScenes() const
{
    std::vector<std::shared_ptr<Window>> windows;
    for (const auto& scene : Application::shared().connectedScenes()) {
        for (const auto& [key, window] : overlayWindows_) {
            auto owner = key.lock();
            if (owner && owner == scene)
                windows.push_back(window);
        }
    }
    return windows;
}

void PrivacyOverlayManager::applyCaptureState()
{
    auto overlays = overlayWindowsForConnectedScenes();
    if (!Screen::main().isCaptured()) {
        hideAnimated(overlays);
        return;
    }
    for (const auto& window : overlays) {
        if (auto* cover = coverOf(*window)) {
            window->setHidden(false);
            cover->setAlpha(0);
            animate(fadeDuration, [cover] { cover->setAlpha(1); });
        }
    }
}

void PrivacyOverlayManager::showOverlays()
{
    for (const auto& window : overlayWindowsForConnectedScenes()) {
        if (auto* cover = coverOf(*window)) {
            window->setHidden(false);
            cover->setAlpha(1);
        }
    }
}

void PrivacyOverlayManager::hideOverlaysUnlessCaptured()
{
    if (Screen::main().isCaptured())
        showOverlays();
    else
        hideAnimated(overlayWindowsForConnectedScenes());
}

void PrivacyOverlayManager::hideAnimated(const std::vector<std::shared_ptr<Window>>& overlays)
{
    for (const auto& window : overlays) {
        if (auto* cover = coverOf(*window)) {
            animate(fadeDuration, [window, cover] {
                window->setHidden(true);
                cover->setAlpha(0);
            });
        }
    }
}

} // namespace tolven
