#pragma once

#include "platform/ui/View.h"

namespace platform::ui {

class ViewController;
class WindowScene;

enum class UserInterfaceStyle { unspecified, light, dark };

// The root of a view tree on the screen. It owns its root screen; screens
// presented over it put their views here too, above the root's.
class Window : public View {
public:
    // Fills the main screen and joins `scene` (held weakly) when given.
    explicit Window(const std::shared_ptr<WindowScene>& scene = nullptr);
    ~Window() override;
    std::string className() const override { return "Window"; }

    const std::shared_ptr<ViewController>& rootViewController() const { return rootViewController_; }
    void setRootViewController(std::shared_ptr<ViewController> controller);

    void makeKeyAndVisible();
    void makeKey();
    bool isKeyWindow() const;

    std::shared_ptr<WindowScene> windowScene() const { return scene_.lock(); }
    UserInterfaceStyle overrideUserInterfaceStyle() const { return style_; }
    void setOverrideUserInterfaceStyle(UserInterfaceStyle style) { style_ = style; }

    // The view that receives typed text and shows its input view.
    View* firstResponder() const { return firstResponder_.lock().get(); }
    void setFirstResponder(View* view);

    // Coalesces layout requests into one pass on the main queue.
    void scheduleLayout();

private:
    // The root screen comes on screen: will-appear and a layout now, did-appear next.
    void rootAppears();

    std::shared_ptr<ViewController> rootViewController_;
    std::weak_ptr<WindowScene> scene_;
    UserInterfaceStyle style_ = UserInterfaceStyle::unspecified;
    std::weak_ptr<View> firstResponder_;
    bool layoutScheduled_ = false;
};

}
