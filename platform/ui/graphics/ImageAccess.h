#pragma once

// The Cairo side of images, for the toolkit's decoding and drawing code.

#include "platform/ui/graphics/Image.h"

#include <cairo.h>

namespace platform::ui {

// Premultiplied ARGB pixels in native byte order, owned by an image surface
// that nobody draws into once the image exists.
struct Image::Pixels {
    cairo_surface_t* surface;
    explicit Pixels(cairo_surface_t* adopted) : surface(adopted) { }
    ~Pixels() { cairo_surface_destroy(surface); }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;
};

struct ImageAccess {
    // Takes over `surface` (an ARGB32 image surface). Gives no image when the
    // surface is in an error state.
    static std::optional<Image> adopt(cairo_surface_t* surface, double scale);
    static cairo_surface_t* surface(const Image& image) { return image.pixels_->surface; }
};

// An ARGB32 surface of `width` × `height` pixels cleared to transparent, or
// none when the size is out of bounds.
cairo_surface_t* createImageSurface(int width, int height);

} // namespace platform::ui
