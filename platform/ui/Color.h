#pragma once

namespace platform::ui {

// An sRGB colour with components from 0 to 1. The named system colours are
// their light-appearance values; the toolkit draws in light appearance only.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;

    static Color rgba(double red, double green, double blue, double alpha = 1) { return {red, green, blue, alpha}; }
    static Color white(double white, double alpha = 1) { return {white, white, white, alpha}; }

    static Color clear() { return {0, 0, 0, 0}; }
    static Color black() { return {0, 0, 0, 1}; }
    static Color white() { return {1, 1, 1, 1}; }
    static Color gray() { return white(0.5); }
    static Color lightGray() { return white(2.0 / 3); }
    static Color darkGray() { return white(1.0 / 3); }

    static Color systemBlue();
    static Color systemRed();
    static Color systemGray();
    static Color systemGray2();
    static Color systemGray3();
    static Color systemGray4();
    static Color systemGray5();
    static Color systemGray6();
    static Color systemBackground() { return white(); }
    static Color label() { return black(); }
    static Color secondaryLabel();
    static Color placeholderText();
    static Color separator();

    Color withAlphaComponent(double newAlpha) const { return {red, green, blue, newAlpha}; }
    bool isOpaque() const { return alpha >= 1; }

    friend bool operator==(const Color&, const Color&) = default;
};

}
