#pragma once

#include "platform/foundation/Clock.h"

#include <memory>
#include <optional>

namespace platform::ui {
class ViewController;
}

namespace tolven {

// Warns, at most once per five seconds, when the user takes a screenshot of
// the application in the foreground. It does not prevent the screenshot.
class ScreenshotAlertPresenter : public std::enable_shared_from_this<ScreenshotAlertPresenter> {
public:
    static constexpr std::chrono::seconds minInterval { 5 };

    // Made on first use, listening from then on; lives until the process ends.
    static ScreenshotAlertPresenter& shared();

    // The screenshot notification's handler.
    void onScreenshot();
    void presentScreenshotAlert();

    // The root screen of the key window of the active window scene.
    static std::shared_ptr<platform::ui::ViewController> activeRootViewController();
    // The screen really on top: the end of the chain of presented screens.
    static std::shared_ptr<platform::ui::ViewController> topMostViewController(std::shared_ptr<platform::ui::ViewController> screen);

    ScreenshotAlertPresenter() = default;
    // Back to the distant past, so that each test starts alike.
    void resetForTesting() { lastShown_.reset(); }

private:
    // When the last warning was scheduled; absent (the distant past) at first.
    std::optional<platform::WallClockTime> lastShown_;
};

} // namespace tolven
