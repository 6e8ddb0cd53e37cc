#pragma once

#include "platform/ui/graphics/Image.h"

#include <filesystem>
#include <optional>

namespace platform::ui {

class View;
class Window;

// Draws view trees into pictures with Cairo and Pango. It reads the tree and
// never changes it: no layout pass, no lifecycle call. Use it on the main queue.
class Renderer {
public:
    // `scale` pixels per point; the main screen's scale by default.
    explicit Renderer(std::optional<double> scale = std::nullopt);

    // What the main screen shows: every visible window of the application, in
    // order, with the screens presented in it and their alerts, over white.
    Image renderScreen() const;
    // One window (or any view) and what it holds, on a picture of its bounds' size.
    Image renderView(const View& view) const;

    // renderScreen() as a PNG file, written atomically.
    bool saveScreenPicture(const std::filesystem::path& path) const;

    double scale() const { return scale_; }

private:
    double scale_;
};

} // namespace platform::ui
