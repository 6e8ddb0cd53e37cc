#include "platform/ui/NavigationController.h"

namespace platform::ui {

namespace {
void showOnly(ViewController& container, const std::shared_ptr<ViewController>& shown)
{
    if (!container.isViewLoaded())
        return;
    auto& root = container.view();
    for (auto& child : container.children()) {
        if (child != shown && child->isViewLoaded() && child->view()->superview() == root.get())
            child->view()->removeFromSuperview();
    }
    if (!shown)
        return;
    shown->view()->setFrame(root->bounds());
    shown->view()->setAutoresizingMask(View::flexibleWidth | View::flexibleHeight);
    if (shown->view()->superview() != root.get())
        root->addSubview(shown->view());
}
}

NavigationController::NavigationController(std::shared_ptr<ViewController> root)
{
    if (root)
        addChild(root);
}

std::shared_ptr<ViewController> NavigationController::topViewController() const
{
    return children().empty() ? nullptr : children().back();
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const
{
    if (auto presented = presentedViewController())
        return presented;
    return topViewController();
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool)
{
    if (!controller)
        return;
    addChild(controller);
    showTop();
}

void NavigationController::popViewController(bool)
{
    if (children().size() <= 1)
        return;
    auto popped = children().back();
    if (popped->isViewLoaded())
        popped->view()->removeFromSuperview();
    popped->removeFromParent();
    showTop();
}

void NavigationController::viewDidLoad()
{
    showTop();
}

void NavigationController::showTop()
{
    showOnly(*this, topViewController());
}

void TabBarController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers)
{
    while (!children().empty())
        children().back()->removeFromParent();
    for (auto& controller : controllers)
        addChild(controller);
    selected_ = 0;
    showSelected();
}

std::shared_ptr<ViewController> TabBarController::selectedViewController() const
{
    if (selected_ < 0 || selected_ >= static_cast<int>(children().size()))
        return nullptr;
    return children()[static_cast<std::size_t>(selected_)];
}

void TabBarController::setSelectedIndex(int index)
{
    selected_ = index;
    showSelected();
}

void TabBarController::showSelected()
{
    showOnly(*this, selectedViewController());
}

}
