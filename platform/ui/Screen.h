#pragma once

#include "platform/ui/Geometry.h"

namespace platform::ui {

// The phone's display: 390 × 844 points at three pixels per point, with the
// status-bar and home-indicator areas as its safe-area insets.
class Screen {
public:
    static constexpr const char* capturedDidChangeNotification = "UIScreenCapturedDidChangeNotification";

    static Screen& main();

    Rect bounds() const { return bounds_; }
    double scale() const { return scale_; }
    EdgeInsets safeAreaInsets() const { return {47, 0, 34, 0}; }

    // Recorded, mirrored or shared. A change posts capturedDidChangeNotification.
    bool isCaptured() const { return captured_; }
    void setCaptured(bool captured);

private:
    Rect bounds_ {0, 0, 390, 844};
    double scale_ = 3;
    bool captured_ = false;
};

}
