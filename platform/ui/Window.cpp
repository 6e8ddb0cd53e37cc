#include "platform/ui/Window.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WindowScene.h"

namespace platform::ui {

Window::Window(const std::shared_ptr<WindowScene>& scene)
    : View(Screen::main().bounds())
    , scene_(scene)
{
    setHidden(true);
    setSafeAreaInsetsOverride(Screen::main().safeAreaInsets());
    if (scene)
        scene->addWindow(*this);
}

Window::~Window()
{
    if (auto scene = scene_.lock())
        scene->removeWindow(*this);
    // Views of screens presented here belong to those screens; let them go.
    auto children = subviews();
    for (auto& child : children)
        child->removeFromSuperview();
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller)
{
    if (rootViewController_ && rootViewController_->view_ && rootViewController_->view_->superview() == this)
        rootViewController_->view_->removeFromSuperview();
    rootViewController_ = std::move(controller);
    if (!rootViewController_)
        return;
    rootViewController_->placeRootView(*this, bounds(), safeAreaInsets());
    if (auto& rootView = rootViewController_->view_; rootView && subviews().front() != rootView)
        insertSubview(rootView, 0);
    if (!isHidden())
        rootAppears();
}

void Window::rootAppears()
{
    if (!rootViewController_)
        return;
    rootViewController_->viewWillAppear(false);
    layoutIfNeeded();
    std::weak_ptr<ViewController> weakRoot = rootViewController_;
    DispatchQueue::main().async([weakRoot] {
        if (auto root = weakRoot.lock())
            root->viewDidAppear(false);
    });
}

void Window::makeKeyAndVisible()
{
    makeKey();
    if (!isHidden())
        return;
    setHidden(false);
    rootAppears();
}

void Window::makeKey()
{
    Application::shared().setKeyWindow(std::static_pointer_cast<Window>(shared_from_this()));
}

bool Window::isKeyWindow() const
{
    return Application::shared().keyWindow().get() == this;
}

void Window::setFirstResponder(View* view)
{
    firstResponder_ = view ? view->weak_from_this() : std::weak_ptr<View>();
}

void Window::scheduleLayout()
{
    if (layoutScheduled_)
        return;
    layoutScheduled_ = true;
    std::weak_ptr<View> weakSelf = weak_from_this();
    DispatchQueue::main().async([weakSelf] {
        auto self = std::static_pointer_cast<Window>(weakSelf.lock());
        if (!self)
            return;
        self->layoutScheduled_ = false;
        self->layoutIfNeeded();
    });
}

}
