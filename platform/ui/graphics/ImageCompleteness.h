#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace platform::ui {

enum class EncodedImageFormat { png, jpeg, svg };

struct EncodedImageInfo {
    EncodedImageFormat format;
    // Pixel size from the header; zero for SVG, whose size comes from parsing it.
    int width = 0;
    int height = 0;
};

// Recognises a PNG or JPEG that is whole (every chunk or segment is there, up
// to the end marker) or text that may be SVG. gdk-pixbuf decodes a cut-off
// PNG or JPEG without an error and fills the missing part with grey, so
// nothing that fails here may reach it.
std::optional<EncodedImageInfo> recogniseWholeImage(std::span<const std::uint8_t> data);

} // namespace platform::ui
