#include "platform/ui/Color.h"

namespace platform::ui {

namespace {
constexpr Color bytes(int r, int g, int b, double alpha = 1) { return {r / 255.0, g / 255.0, b / 255.0, alpha}; }
}

Color Color::systemBlue() { return bytes(0, 122, 255); }
Color Color::systemRed() { return bytes(255, 59, 48); }
Color Color::systemGray() { return bytes(142, 142, 147); }
Color Color::systemGray2() { return bytes(174, 174, 178); }
Color Color::systemGray3() { return bytes(199, 199, 204); }
Color Color::systemGray4() { return bytes(209, 209, 214); }
Color Color::systemGray5() { return bytes(229, 229, 234); }
Color Color::systemGray6() { return bytes(242, 242, 247); }
Color Color::secondaryLabel() { return bytes(60, 60, 67, 0.6); }
Color Color::placeholderText() { return bytes(60, 60, 67, 0.3); }
Color Color::separator() { return bytes(60, 60, 67, 0.29); }

}
