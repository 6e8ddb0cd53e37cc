#pragma once

#include <string>

namespace platform::ui {

enum class FontWeight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };

// A font as a value: the name the application asks for and a size in points.
// Names are resolved to installed faces only when text is measured or drawn,
// so an unknown name still gives a font (drawn with the fallback face).
struct Font {
    std::string name;
    double pointSize = 17;
    FontWeight weight = FontWeight::regular;

    static constexpr const char* systemFamilyName = "system-ui";

    static Font named(std::string name, double pointSize) { return {std::move(name), pointSize, FontWeight::regular}; }
    static Font systemFont(double pointSize, FontWeight weight = FontWeight::regular)
    {
        return {systemFamilyName, pointSize, weight};
    }
    static Font boldSystemFont(double pointSize) { return systemFont(pointSize, FontWeight::bold); }

    bool isSystemFont() const { return name == systemFamilyName; }
    Font withSize(double newSize) const { return {name, newSize, weight}; }

    friend bool operator==(const Font&, const Font&) = default;
};

}
