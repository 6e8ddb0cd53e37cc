#include "platform/ui/testing/UiDriver.h"

#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "platform/ui/controls/PickerView.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/controls/TextField.h"
#include "platform/ui/render/Renderer.h"

#include <functional>

namespace platform::ui {

namespace {

bool isShown(const View& view)
{
    for (const View* v = &view; v; v = v->superview()) {
        if (v->isHidden() || v->alpha() < 0.01)
            return false;
    }
    return true;
}

// Front-most first: later siblings and deeper views before earlier ones.
View* findFrontMost(View& root, const std::function<bool(View&)>& matches)
{
    const auto& children = root.subviews();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (View* found = findFrontMost(**it, matches))
            return found;
    }
    return matches(root) && isShown(root) ? &root : nullptr;
}

std::shared_ptr<ViewController> topOf(std::shared_ptr<ViewController> screen)
{
    while (screen) {
        if (auto presented = screen->presentedViewController()) {
            screen = presented;
            continue;
        }
        if (auto* navigation = dynamic_cast<NavigationController*>(screen.get())) {
            auto visible = navigation->visibleViewController();
            if (!visible || visible == screen)
                return screen;
            screen = visible;
            continue;
        }
        if (auto* tabs = dynamic_cast<TabBarController*>(screen.get())) {
            auto selected = tabs->selectedViewController();
            if (!selected)
                return screen;
            screen = selected;
            continue;
        }
        return screen;
    }
    return nullptr;
}

}

Window* UiDriver::window() const
{
    auto key = Application::shared().keyWindow();
    if (key)
        key->layoutIfNeeded();
    return key.get();
}

std::shared_ptr<ViewController> UiDriver::topScreen() const
{
    Window* w = window();
    return w ? topOf(w->rootViewController()) : nullptr;
}

std::string UiDriver::topScreenClassName() const
{
    auto top = topScreen();
    return top ? top->className() : std::string();
}

std::vector<std::string> UiDriver::textsOnTopScreen() const
{
    std::vector<std::string> texts;
    auto top = topScreen();
    if (!top || !top->isViewLoaded())
        return texts;
    // A view's text once: a button's title is not read again from its label.
    std::function<void(View&)> read = [&](View& view) {
        if (!isShown(view))
            return;
        if (auto text = view.displayedText(); text && !text->empty()) {
            texts.push_back(*text);
            return;
        }
        auto children = view.subviews();
        for (auto& child : children)
            read(*child);
    };
    read(*top->view());
    return texts;
}

View* UiDriver::find(const std::string& accessibilityIdentifier) const
{
    Window* w = window();
    if (!w)
        return nullptr;
    return findFrontMost(*w, [&](View& v) { return v.accessibilityIdentifier() == accessibilityIdentifier; });
}

View* UiDriver::findText(const std::string& text) const
{
    Window* w = window();
    if (!w)
        return nullptr;
    std::optional<std::string> wanted = text;
    return findFrontMost(*w, [&](View& v) {
        return v.displayedText() == wanted && !(v.superview() && v.superview()->displayedText() == wanted);
    });
}

bool UiDriver::tap(View* view)
{
    Window* w = window();
    if (!view || !w || view->window() != w)
        return false;
    return tapAt(view->convertPointTo(view->bounds().center(), nullptr));
}

bool UiDriver::tapAt(Point pointInWindow)
{
    Window* w = window();
    if (!w)
        return false;
    View* hit = w->hitTest(pointInWindow);
    if (!hit)
        return false;
    auto keepAlive = hit->shared_from_this();
    for (View* v = hit; v; v = v->superview()) {
        if (v->handleTap(v->convertPointFrom(pointInWindow, nullptr)))
            return true;
    }
    return false;
}

bool UiDriver::tapAlertButton(const std::string& title)
{
    auto alert = std::dynamic_pointer_cast<AlertController>(topScreen());
    if (!alert || !alert->isViewLoaded())
        return false;
    View* button = findFrontMost(*alert->view(), [&](View& v) {
        return (v.accessibilityTraits() & accessibilityTraitButton) && v.accessibilityLabel() == std::optional<std::string>(title);
    });
    return tap(button);
}

void UiDriver::scroll(ScrollView& scrollView, Point offset)
{
    if (!scrollView.isScrollEnabled())
        return;
    scrollView.setContentOffset(scrollView.restingOffset(offset));
    scrollView.layoutIfNeeded();
}

void UiDriver::pickRow(PickerView& picker, int row, int component)
{
    picker.userSelectRow(row, component);
}

bool UiDriver::typeText(TextField& field, const std::string& text)
{
    if (!field.isFirstResponder())
        return false;
    field.insertText(text);
    return true;
}

void UiDriver::resignActive()
{
    Application::shared().resignActive();
}

void UiDriver::becomeActive()
{
    Application::shared().becomeActive();
}

void UiDriver::enterBackground()
{
    Application::shared().enterBackground();
}

void UiDriver::enterForeground()
{
    Application::shared().enterForeground();
}

void UiDriver::takeScreenshot()
{
    Application::shared().userDidTakeScreenshot();
}

bool UiDriver::savePicture(const std::filesystem::path& path) const
{
    window();
    return Renderer().saveScreenPicture(path);
}

void UiDriver::startScreenRecording()
{
    Screen::main().setCaptured(true);
}

void UiDriver::stopScreenRecording()
{
    Screen::main().setCaptured(false);
}

}
