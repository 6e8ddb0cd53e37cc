#pragma once

#include "platform/ui/ViewController.h"

namespace platform::ui {

// A stack of screens of which the top one shows. Only as much as finding the
// screen on top needs: push, pop and the visible screen.
class NavigationController : public ViewController {
public:
    explicit NavigationController(std::shared_ptr<ViewController> root = nullptr);
    std::string className() const override { return "NavigationController"; }

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return children(); }
    std::shared_ptr<ViewController> topViewController() const;
    // What shows: the top screen, or what it presents.
    std::shared_ptr<ViewController> visibleViewController() const;
    void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
    void popViewController(bool animated);

    void viewDidLoad() override;

private:
    void showTop();
};

// Screens side by side of which the selected one shows.
class TabBarController : public ViewController {
public:
    std::string className() const override { return "TabBarController"; }

    void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers);
    std::shared_ptr<ViewController> selectedViewController() const;
    int selectedIndex() const { return selected_; }
    void setSelectedIndex(int index);

    void viewDidLoad() override { showSelected(); }

private:
    void showSelected();
    int selected_ = 0;
};

}
