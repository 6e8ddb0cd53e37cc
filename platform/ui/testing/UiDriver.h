#pragma once

#include "platform/ui/Geometry.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class PickerView;
class ScrollView;
class TextField;
class View;
class ViewController;
class Window;

// Drives the application as a user would, through the key window: it finds
// views, taps them where they are on screen (hit-testing decides who gets the
// tap), scrolls, picks, types and moves the application between states. It
// never lets time pass; the test does that with its TestEnvironment.
class UiDriver {
public:
    // The key window, laid out.
    Window* window() const;

    // The screen really on top: the end of the presented chain, through
    // navigation and tab containers.
    std::shared_ptr<ViewController> topScreen() const;
    std::string topScreenClassName() const;
    // The texts a user can read on the top screen, in the tree's order.
    std::vector<std::string> textsOnTopScreen() const;

    // The top-most visible view with this accessibility identifier, or with
    // this text; nothing when there is none.
    View* find(const std::string& accessibilityIdentifier) const;
    View* findText(const std::string& text) const;

    // Taps the middle of `view` as it is on screen; a covered, hidden or
    // disabled view does not get it. True when something took the tap.
    bool tap(View* view);
    bool tapAt(Point pointInWindow);
    // Taps the button of the alert on top with this title.
    bool tapAlertButton(const std::string& title);
    // Drags the content to `offset` and lets go (paging snaps to a page).
    void scroll(ScrollView& scrollView, Point offset);
    void pickRow(PickerView& picker, int row, int component = 0);
    // Types into the field as the keyboard would, once it is editing.
    bool typeText(TextField& field, const std::string& text);

    void resignActive();
    void becomeActive();
    void enterBackground();
    void enterForeground();
    void takeScreenshot();
    // Draws what the screen shows now, laid out, into a PNG file; false when
    // the file could not be written.
    bool savePicture(const std::filesystem::path& path) const;
    void startScreenRecording();
    void stopScreenRecording();
};

}
