#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace platform {
class Bundle;
}

namespace platform::ui {

enum class ImageRenderingMode { automatic, alwaysOriginal, alwaysTemplate };

// An immutable bitmap with a scale: `size()` in points is the pixel size
// divided by the scale. Copies share the pixels. PNG and JPEG decode through
// gdk-pixbuf, SVG through librsvg; a buffer that is empty, truncated or not
// one of those formats gives no image.
class Image {
public:
    // Vector images (SVG, system symbols) are rasterised at this many pixels
    // per point, the main screen's scale.
    static constexpr double vectorScale = 3;

    // "<name>@3x.png", "<name>@2x.png", "<name>.png", "<name>.jpg", "<name>.jpeg"
    // or "<name>.svg" in the "Assets" folder of `bundle` (the main bundle by
    // default), the first that exists and decodes.
    static std::optional<Image> named(const std::string& name);
    static std::optional<Image> named(const std::string& name, const Bundle& bundle);
    static std::optional<Image> fromData(std::span<const std::uint8_t> data, double scale = 1);
    // A "@2x" or "@3x" before the extension sets the scale.
    static std::optional<Image> fromFile(const std::filesystem::path& path);
    // One of the system symbols the toolkit draws ("chevron.down",
    // "checkmark.square.fill", "square") at `pointSize`; a template image,
    // drawn in the tint colour of the view that shows it.
    static std::optional<Image> systemNamed(const std::string& name, double pointSize = 17);
    // `size` points of one colour.
    static Image filled(const Color& color, Size size, double scale = 1);

    int pixelWidth() const;
    int pixelHeight() const;
    double scale() const { return scale_; }
    Size size() const { return { pixelWidth() / scale_, pixelHeight() / scale_ }; }

    ImageRenderingMode renderingMode() const { return renderingMode_; }
    Image withRenderingMode(ImageRenderingMode mode) const;
    // A resizable image stretches to fill what it is drawn into; the parts
    // under the cap insets keep their size.
    Image resizableImage(const EdgeInsets& capInsets) const;
    const std::optional<EdgeInsets>& capInsets() const { return capInsets_; }

    // The colour of one pixel (0,0 is top left), not premultiplied; clear outside the image.
    Color colorAtPixel(int x, int y) const;

    // PNG bytes of the pixels.
    std::string pngData() const;
    // Writes PNG atomically; false when the file could not be written.
    bool writePng(const std::filesystem::path& path) const;

    // The same pixels, scale, mode and insets.
    friend bool operator==(const Image& left, const Image& right);

    struct Pixels;

private:
    Image(std::shared_ptr<const Pixels> pixels, double scale);

    std::shared_ptr<const Pixels> pixels_;
    double scale_ = 1;
    ImageRenderingMode renderingMode_ = ImageRenderingMode::automatic;
    std::optional<EdgeInsets> capInsets_;

    friend struct ImageAccess;
};

} // namespace platform::ui
