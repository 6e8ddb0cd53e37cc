#include "platform/ui/ViewController.h"

#include "platform/foundation/Console.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cxxabi.h>
#include <typeinfo>

namespace platform::ui {

namespace {

std::string describe(const ViewController& controller)
{
    return "<" + controller.className() + ">";
}

void after(bool animated, std::function<void()> block)
{
    if (animated)
        DispatchQueue::main().asyncAfter(presentationAnimationDuration, std::move(block));
    else
        DispatchQueue::main().async(std::move(block));
}

}

ViewController::ViewController() = default;

ViewController::~ViewController()
{
    if (view_ && view_->viewController_ == this)
        view_->viewController_ = nullptr;
    for (auto& child : children_)
        child->parent_ = nullptr;
}

std::string ViewController::className() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    auto colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

const std::shared_ptr<View>& ViewController::view()
{
    if (!view_) {
        loadView();
        if (!view_)
            setView(std::make_shared<View>(Screen::main().bounds()));
        viewDidLoad();
    }
    return view_;
}

void ViewController::setView(std::shared_ptr<View> view)
{
    if (view_ && view_->viewController_ == this)
        view_->viewController_ = nullptr;
    view_ = std::move(view);
    if (view_)
        view_->viewController_ = this;
}

void ViewController::loadView()
{
    if (viewLoader_) {
        auto loader = std::move(viewLoader_);
        viewLoader_ = nullptr;
        if (auto loaded = loader(*this)) {
            setView(loaded);
            return;
        }
    }
    auto root = std::make_shared<View>(Screen::main().bounds());
    root->setBackgroundColor(std::nullopt);
    setView(root);
}

void ViewController::setAdditionalSafeAreaInsets(const EdgeInsets& insets)
{
    additionalSafeArea_ = insets;
    if (view_ && view_->window())
        view_->setSafeAreaInsetsOverride(EdgeInsets {windowInsets_.top + insets.top, windowInsets_.left + insets.left,
                                                     windowInsets_.bottom + insets.bottom, windowInsets_.right + insets.right});
}

void ViewController::placeRootView(Window& window, const Rect& frame, const EdgeInsets& windowInsets)
{
    view();
    windowInsets_ = windowInsets;
    view_->setFrame(frame);
    view_->setAutoresizingMask(View::flexibleWidth | View::flexibleHeight);
    setAdditionalSafeAreaInsets(additionalSafeArea_);
    if (view_->superview() != &window)
        window.addSubview(view_);
    view_->setSafeAreaInsetsOverride(EdgeInsets {windowInsets.top + additionalSafeArea_.top, windowInsets.left + additionalSafeArea_.left,
                                                 windowInsets.bottom + additionalSafeArea_.bottom, windowInsets.right + additionalSafeArea_.right});
}

Rect ViewController::presentedFrame(ModalPresentationStyle style, const Rect& windowBounds)
{
    switch (style) {
    case ModalPresentationStyle::automatic:
    case ModalPresentationStyle::pageSheet:
    case ModalPresentationStyle::formSheet:
    case ModalPresentationStyle::popover: {
        double top = Screen::main().safeAreaInsets().top + 10;
        return {0, top, windowBounds.width(), windowBounds.height() - top};
    }
    default:
        return windowBounds;
    }
}

bool ViewController::coversPresenter() const
{
    return presentationStyle_ == ModalPresentationStyle::fullScreen || presentationStyle_ == ModalPresentationStyle::currentContext;
}

void ViewController::present(std::shared_ptr<ViewController> controller, bool animated, std::function<void()> completion)
{
    if (!controller)
        return;
    if (presented_) {
        platform::console("Attempt to present " + describe(*controller) + " on " + describe(*this) + " which is already presenting "
                          + describe(*presented_) + ".");
        return;
    }
    if (controller.get() == this || controller->presenting_.lock()) {
        platform::console("Application tried to present modally a view controller " + describe(*controller)
                          + " that is already being presented.");
        return;
    }
    if (beingPresented_) {
        std::weak_ptr<ViewController> weakSelf = weak_from_this();
        deferredPresentations_.push_back([weakSelf, controller, animated, completion] {
            if (auto self = weakSelf.lock())
                self->present(controller, animated, completion);
        });
        return;
    }
    Window* window = view()->window();
    if (!window) {
        platform::console("Attempt to present " + describe(*controller) + " on " + describe(*this)
                          + " whose view is not in the window hierarchy.");
        return;
    }

    presented_ = controller;
    controller->presenting_ = weak_from_this();
    controller->beingPresented_ = true;
    bool sheet = !controller->coversPresenter() && controller->presentationStyle_ != ModalPresentationStyle::overFullScreen
        && controller->presentationStyle_ != ModalPresentationStyle::overCurrentContext
        && controller->presentationStyle_ != ModalPresentationStyle::custom;
    EdgeInsets insets = window->safeAreaInsets();
    if (sheet)
        insets.top = 0;
    controller->placeRootView(*window, presentedFrame(controller->presentationStyle_, window->bounds()), insets);
    bool covers = controller->coversPresenter();
    controller->viewWillAppear(animated);
    if (covers)
        viewWillDisappear(animated);
    window->layoutIfNeeded();

    std::weak_ptr<ViewController> weakSelf = weak_from_this();
    after(animated, [weakSelf, controller, animated, covers, completion] {
        controller->beingPresented_ = false;
        controller->viewDidAppear(animated);
        if (auto self = weakSelf.lock(); self && covers) {
            self->viewDidDisappear(animated);
            // A covered screen leaves the window, as on the phone; dismissal puts it back.
            if (self->view_ && self->presented_ == controller)
                self->view_->removeFromSuperview();
        }
        if (completion)
            completion();
        controller->runDeferredPresentations();
    });
}

void ViewController::runDeferredPresentations()
{
    auto pending = std::move(deferredPresentations_);
    deferredPresentations_.clear();
    for (auto& presentation : pending)
        presentation();
}

void ViewController::dismiss(bool animated, std::function<void()> completion)
{
    std::shared_ptr<ViewController> presenter = presented_ ? shared_from_this() : presenting_.lock();
    if (!presenter || !presenter->presented_) {
        if (completion)
            DispatchQueue::main().async(std::move(completion));
        return;
    }
    auto target = presenter->presented_;
    if (target->beingDismissed_)
        return;
    target->beingDismissed_ = true;

    std::vector<std::shared_ptr<ViewController>> chain;
    for (auto c = target; c; c = c->presented_)
        chain.push_back(c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        (*it)->viewWillDisappear(animated);

    Window* window = target->view_ ? target->view_->window() : nullptr;
    bool uncovers = target->coversPresenter();
    if (uncovers && window && presenter->view_ && !presenter->view_->superview()) {
        auto& siblings = window->subviews();
        auto position = std::find(siblings.begin(), siblings.end(), target->view_);
        window->insertSubview(presenter->view_, static_cast<std::size_t>(position - siblings.begin()));
    }
    if (uncovers)
        presenter->viewWillAppear(animated);

    after(animated, [presenter, target, chain, animated, uncovers, completion] {
        for (auto& c : chain) {
            if (c->view_)
                c->view_->removeFromSuperview();
        }
        if (presenter->presented_ == target)
            presenter->presented_ = nullptr;
        for (auto& c : chain) {
            c->presenting_.reset();
            c->beingDismissed_ = false;
        }
        for (std::size_t i = 0; i + 1 < chain.size(); ++i)
            chain[i]->presented_ = nullptr;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            (*it)->viewDidDisappear(animated);
        if (uncovers)
            presenter->viewDidAppear(animated);
        if (completion)
            completion();
    });
}

void ViewController::addChild(const std::shared_ptr<ViewController>& child)
{
    if (!child || child->parent_ == this)
        return;
    child->removeFromParent();
    children_.push_back(child);
    child->parent_ = this;
}

void ViewController::removeFromParent()
{
    if (!parent_)
        return;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [this](const auto& c) { return c.get() == this; }), siblings.end());
    parent_ = nullptr;
}

}
