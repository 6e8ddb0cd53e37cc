#include "TOLVEN/home/ScreenshotAlertPresenter.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

namespace tolven {

using namespace platform::ui;

ScreenshotAlertPresenter& ScreenshotAlertPresenter::shared()
{
    static auto* presenter = [] {
        auto* holder = new std::shared_ptr<ScreenshotAlertPresenter>(std::make_shared<ScreenshotAlertPresenter>());
        // The registration is never removed: the presenter lives as long as the process.
        platform::NotificationCenter::defaultCenter().addObserver(Application::userDidTakeScreenshotNotification,
            [presenter = holder->get()](const platform::Notification&) { presenter->onScreenshot(); });
        return holder;
    }();
    return **presenter;
}

void ScreenshotAlertPresenter::onScreenshot()
{
    if (Application::shared().applicationState() != ApplicationState::active)
        return;
    auto now = platform::clock().now();
    if (lastShown_ && now - *lastShown_ <= minInterval)
        return;
    lastShown_ = platform::clock().now();
    platform::DispatchQueue::main().async([weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock())
            self->presentScreenshotAlert();
    });
}

void ScreenshotAlertPresenter::presentScreenshotAlert()
{
    auto top = topMostViewController(activeRootViewController());
    if (!top)
        return;
    auto alert = std::make_shared<AlertController>("스크린샷이 캡쳐되었습니다", "민감 정보 공유에 주의해 주세요.", AlertControllerStyle::alert);
    alert->addAction(std::make_shared<AlertAction>("확인", AlertActionStyle::defaultStyle));
    if (!top->presentedViewController()) {
        top->present(alert, true);
        return;
    }
    // Once, without looking again: if the screen is still busy then, the warning is lost.
    platform::DispatchQueue::main().asyncAfter(std::chrono::milliseconds(250), [top, alert] { top->present(alert, true); });
}

std::shared_ptr<ViewController> ScreenshotAlertPresenter::activeRootViewController()
{
    for (const auto& scene : Application::shared().connectedScenes()) {
        auto windowScene = std::dynamic_pointer_cast<WindowScene>(scene);
        if (!windowScene || windowScene->activationState() != SceneActivationState::foregroundActive)
            continue;
        for (const auto& window : windowScene->windows())
            if (window->isKeyWindow())
                return window->rootViewController();
        return nullptr;
    }
    return nullptr;
}

std::shared_ptr<ViewController> ScreenshotAlertPresenter::topMostViewController(std::shared_ptr<ViewController> screen)
{
    while (screen && screen->presentedViewController())
        screen = screen->presentedViewController();
    std::shared_ptr<ViewController> shown;
    if (auto navigation = std::dynamic_pointer_cast<NavigationController>(screen))
        shown = navigation->visibleViewController();
    else if (auto tabs = std::dynamic_pointer_cast<TabBarController>(screen))
        shown = tabs->selectedViewController();
    // A container that shows no child is itself on top.
    return shown ? topMostViewController(shown) : screen;
}

} // namespace tolven
