#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class Storyboard;
class Window;

enum class ModalPresentationStyle {
    automatic = -2,
    fullScreen = 0,
    pageSheet = 1,
    formSheet = 2,
    currentContext = 3,
    custom = 4,
    overFullScreen = 5,
    overCurrentContext = 6,
    popover = 7,
};

enum class ModalTransitionStyle { coverVertical = 0, flipHorizontal = 1, crossDissolve = 2, partialCurl = 3 };

// A screen: it owns its root view (loaded on first use) and whatever it
// presents. Lifecycle calls come in the platform's order: viewDidLoad once,
// then viewWillAppear, viewWillLayoutSubviews / viewDidLayoutSubviews around
// each layout of the root view, and viewDidAppear once a presentation has
// completed. Screens are made with std::make_shared.
class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    ViewController();
    virtual ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The class name without namespaces, for console lines.
    virtual std::string className() const;

    const std::shared_ptr<View>& view();
    bool isViewLoaded() const { return view_ != nullptr; }
    void loadViewIfNeeded() { view(); }
    // Sets the root view (an interface file does this before viewDidLoad).
    void setView(std::shared_ptr<View> view);

    // Builds the root view: the interface file's when the screen came from one, else a plain view.
    virtual void loadView();
    // For interface files: how this screen's view is built when first needed.
    void setViewLoader(std::function<std::shared_ptr<View>(ViewController&)> loader) { viewLoader_ = std::move(loader); }
    virtual void viewDidLoad() { }
    virtual void viewWillAppear(bool) { }
    virtual void viewDidAppear(bool) { }
    virtual void viewWillDisappear(bool) { }
    virtual void viewDidDisappear(bool) { }
    virtual void viewWillLayoutSubviews() { }
    virtual void viewDidLayoutSubviews() { }
    virtual void awakeFromNib() { }

    // Presents `controller` over this screen. Refused with a console warning
    // when this screen already presents one or its view is in no window; a
    // screen still being presented presents once its own presentation is done.
    // The completion runs once `controller` has appeared.
    void present(std::shared_ptr<ViewController> controller, bool animated, std::function<void()> completion = {});
    // Dismisses what this screen presents or, when it presents nothing, this
    // screen itself, together with everything presented above it.
    void dismiss(bool animated, std::function<void()> completion = {});
    std::shared_ptr<ViewController> presentedViewController() const { return presented_; }
    std::shared_ptr<ViewController> presentingViewController() const { return presenting_.lock(); }
    bool isBeingPresented() const { return beingPresented_; }
    bool isBeingDismissed() const { return beingDismissed_; }

    ModalPresentationStyle modalPresentationStyle() const { return presentationStyle_; }
    void setModalPresentationStyle(ModalPresentationStyle style) { presentationStyle_ = style; }
    ModalTransitionStyle modalTransitionStyle() const { return transitionStyle_; }
    void setModalTransitionStyle(ModalTransitionStyle style) { transitionStyle_ = style; }

    // The storyboard this screen came from, if any.
    std::shared_ptr<Storyboard> storyboard() const { return storyboard_; }
    void setStoryboard(std::shared_ptr<Storyboard> storyboard) { storyboard_ = std::move(storyboard); }

    EdgeInsets additionalSafeAreaInsets() const { return additionalSafeArea_; }
    void setAdditionalSafeAreaInsets(const EdgeInsets& insets);

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    // Containment, as far as container screens need it.
    ViewController* parent() const { return parent_; }
    const std::vector<std::shared_ptr<ViewController>>& children() const { return children_; }
    void addChild(const std::shared_ptr<ViewController>& child);
    void removeFromParent();

protected:
    // The rectangle a presented screen of this style takes in its window.
    static Rect presentedFrame(ModalPresentationStyle style, const Rect& windowBounds);

private:
    friend class Window;
    void placeRootView(Window& window, const Rect& frame, const EdgeInsets& windowInsets);
    bool coversPresenter() const;
    void runDeferredPresentations();

    std::shared_ptr<View> view_;
    std::function<std::shared_ptr<View>(ViewController&)> viewLoader_;
    std::shared_ptr<Storyboard> storyboard_;
    std::shared_ptr<ViewController> presented_;
    std::weak_ptr<ViewController> presenting_;
    bool beingPresented_ = false;
    bool beingDismissed_ = false;
    std::vector<std::function<void()>> deferredPresentations_;
    ModalPresentationStyle presentationStyle_ = ModalPresentationStyle::automatic;
    ModalTransitionStyle transitionStyle_ = ModalTransitionStyle::coverVertical;
    EdgeInsets additionalSafeArea_;
    EdgeInsets windowInsets_;
    std::string title_;
    ViewController* parent_ = nullptr;
    std::vector<std::shared_ptr<ViewController>> children_;
};

}
