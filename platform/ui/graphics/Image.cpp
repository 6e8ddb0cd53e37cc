#include "platform/ui/graphics/Image.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/graphics/GObjectPtr.h"
#include "platform/ui/graphics/ImageAccess.h"
#include "platform/ui/graphics/ImageCompleteness.h"
#include "platform/ui/graphics/SystemSymbols.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace platform::ui {

namespace {

// Bounds that keep a hostile header from asking for gigabytes of pixels.
constexpr int maximumSide = 16384;
constexpr long long maximumPixelCount = 40LL * 1024 * 1024;

bool acceptableSize(long long width, long long height)
{
    return width > 0 && height > 0 && width <= maximumSide && height <= maximumSide && width * height <= maximumPixelCount;
}

struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

// Copies a pixbuf's RGB(A) rows into premultiplied ARGB.
cairo_surface_t* surfaceFromPixbuf(GdkPixbuf* pixbuf)
{
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const bool hasAlpha = gdk_pixbuf_get_has_alpha(pixbuf);
    if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || channels < (hasAlpha ? 4 : 3))
        return nullptr;
    cairo_surface_t* surface = createImageSurface(width, height);
    if (!surface)
        return nullptr;
    const guint8* source = gdk_pixbuf_read_pixels(pixbuf);
    const int sourceStride = gdk_pixbuf_get_rowstride(pixbuf);
    unsigned char* target = cairo_image_surface_get_data(surface);
    const int targetStride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const guint8* in = source + static_cast<std::ptrdiff_t>(y) * sourceStride;
        auto* out = reinterpret_cast<std::uint32_t*>(target + static_cast<std::ptrdiff_t>(y) * targetStride);
        for (int x = 0; x < width; ++x, in += channels) {
            const std::uint32_t alpha = hasAlpha ? in[3] : 255;
            auto premultiply = [alpha](std::uint32_t component) { return (component * alpha + 127) / 255; };
            out[x] = alpha << 24 | premultiply(in[0]) << 16 | premultiply(in[1]) << 8 | premultiply(in[2]);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

std::optional<Image> decodeBitmap(std::span<const std::uint8_t> data, const char* type, double scale)
{
    GError* rawError = nullptr;
    GObjectPtr<GdkPixbufLoader> loader(gdk_pixbuf_loader_new_with_type(type, &rawError));
    GErrorPtr error(rawError);
    if (!loader)
        return std::nullopt;
    bool written = gdk_pixbuf_loader_write(loader.get(), data.data(), data.size(), &rawError);
    error.reset(rawError);
    rawError = nullptr;
    // Closing reports what the loader could not finish; it must run even after a failed write.
    bool closed = gdk_pixbuf_loader_close(loader.get(), &rawError);
    error.reset(rawError);
    GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
    if (!written || !closed || !pixbuf)
        return std::nullopt;
    GObjectPtr<GdkPixbuf> oriented(gdk_pixbuf_apply_embedded_orientation(pixbuf));
    if (!oriented || !acceptableSize(gdk_pixbuf_get_width(oriented.get()), gdk_pixbuf_get_height(oriented.get())))
        return std::nullopt;
    return ImageAccess::adopt(surfaceFromPixbuf(oriented.get()), scale);
}

std::optional<Image> decodeSvg(std::span<const std::uint8_t> data)
{
    GError* rawError = nullptr;
    GObjectPtr<RsvgHandle> handle(rsvg_handle_new_from_data(data.data(), data.size(), &rawError));
    GErrorPtr error(rawError);
    if (!handle)
        return std::nullopt;
    double width = 0;
    double height = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &width, &height)) {
        // Only a view box: it gives the size in points.
        gboolean hasViewBox = FALSE;
        RsvgRectangle viewBox {};
        rsvg_handle_get_intrinsic_dimensions(handle.get(), nullptr, nullptr, nullptr, nullptr, &hasViewBox, &viewBox);
        if (!hasViewBox)
            return std::nullopt;
        width = viewBox.width;
        height = viewBox.height;
    }
    const double pixelWidth = std::ceil(width * Image::vectorScale);
    const double pixelHeight = std::ceil(height * Image::vectorScale);
    if (!(pixelWidth < maximumSide + 1 && pixelHeight < maximumSide + 1) || !acceptableSize(static_cast<long long>(pixelWidth), static_cast<long long>(pixelHeight)))
        return std::nullopt;
    cairo_surface_t* surface = createImageSurface(static_cast<int>(pixelWidth), static_cast<int>(pixelHeight));
    if (!surface)
        return std::nullopt;
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, Image::vectorScale, Image::vectorScale);
    RsvgRectangle viewport { 0, 0, width, height };
    bool rendered = rsvg_handle_render_document(handle.get(), cr, &viewport, &rawError);
    error.reset(rawError);
    cairo_destroy(cr);
    if (!rendered) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    cairo_surface_flush(surface);
    return ImageAccess::adopt(surface, Image::vectorScale);
}

std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

double scaleFromFileName(const std::filesystem::path& path)
{
    const auto stem = path.stem().string();
    if (stem.ends_with("@3x"))
        return 3;
    if (stem.ends_with("@2x"))
        return 2;
    return 1;
}

cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

cairo_surface_t* createImageSurface(int width, int height)
{
    if (!acceptableSize(width, height))
        return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

std::optional<Image> ImageAccess::adopt(cairo_surface_t* surface, double scale)
{
    if (!surface)
        return std::nullopt;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    return Image(std::make_shared<const Image::Pixels>(surface), scale > 0 && std::isfinite(scale) ? scale : 1);
}

Image::Image(std::shared_ptr<const Pixels> pixels, double scale)
    : pixels_(std::move(pixels))
    , scale_(scale)
{
}

std::optional<Image> Image::fromData(std::span<const std::uint8_t> data, double scale)
{
    auto info = recogniseWholeImage(data);
    if (!info)
        return std::nullopt;
    switch (info->format) {
    case EncodedImageFormat::png:
    case EncodedImageFormat::jpeg:
        if (!acceptableSize(info->width, info->height))
            return std::nullopt;
        return decodeBitmap(data, info->format == EncodedImageFormat::png ? "png" : "jpeg", scale);
    case EncodedImageFormat::svg:
        return decodeSvg(data);
    }
    return std::nullopt;
}

std::optional<Image> Image::fromFile(const std::filesystem::path& path)
{
    auto bytes = readFile(path);
    if (!bytes)
        return std::nullopt;
    return fromData(*bytes, scaleFromFileName(path));
}

std::optional<Image> Image::named(const std::string& name)
{
    return named(name, Bundle::main());
}

std::optional<Image> Image::named(const std::string& name, const Bundle& bundle)
{
    if (name.empty() || name.find('/') != std::string::npos || name.find("..") != std::string::npos)
        return std::nullopt;
    const auto folder = bundle.path() / "Assets";
    for (const char* suffix : { "@3x.png", "@2x.png", ".png", ".jpg", ".jpeg", ".svg" }) {
        auto candidate = folder / (name + suffix);
        std::error_code error;
        if (!std::filesystem::is_regular_file(candidate, error))
            continue;
        if (auto image = fromFile(candidate))
            return image;
    }
    return std::nullopt;
}

std::optional<Image> Image::systemNamed(const std::string& name, double pointSize)
{
    auto image = ImageAccess::adopt(drawSystemSymbol(name, pointSize, vectorScale), vectorScale);
    if (!image)
        return std::nullopt;
    return image->withRenderingMode(ImageRenderingMode::alwaysTemplate);
}

Image Image::filled(const Color& color, Size size, double scale)
{
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    const auto side = [scale](double points) {
        return std::isfinite(points) ? static_cast<int>(std::clamp(std::ceil(points * scale), 1.0, double(maximumSide))) : 1;
    };
    int width = side(size.width);
    int height = side(size.height);
    if (!acceptableSize(width, height))
        width = height = 1;
    cairo_surface_t* surface = createImageSurface(width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return Image(std::make_shared<const Pixels>(surface), scale);
}

int Image::pixelWidth() const
{
    return cairo_image_surface_get_width(pixels_->surface);
}

int Image::pixelHeight() const
{
    return cairo_image_surface_get_height(pixels_->surface);
}

Image Image::withRenderingMode(ImageRenderingMode mode) const
{
    Image copy = *this;
    copy.renderingMode_ = mode;
    return copy;
}

Image Image::resizableImage(const EdgeInsets& capInsets) const
{
    Image copy = *this;
    copy.capInsets_ = capInsets;
    return copy;
}

Color Image::colorAtPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight())
        return Color::clear();
    cairo_surface_t* surface = pixels_->surface;
    const unsigned char* row = cairo_image_surface_get_data(surface) + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
    const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(row)[x];
    const double alpha = (pixel >> 24) / 255.0;
    if (alpha == 0)
        return Color::clear();
    auto component = [&](int shift) { return std::min(1.0, ((pixel >> shift) & 0xFF) / 255.0 / alpha); };
    return Color::rgba(component(16), component(8), component(0), alpha);
}

std::string Image::pngData() const
{
    std::string bytes;
    if (cairo_surface_write_to_png_stream(pixels_->surface, appendToString, &bytes) != CAIRO_STATUS_SUCCESS)
        return {};
    return bytes;
}

bool Image::writePng(const std::filesystem::path& path) const
{
    auto bytes = pngData();
    return !bytes.empty() && writeFileAtomically(path, bytes,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read | std::filesystem::perms::others_read);
}

bool operator==(const Image& left, const Image& right)
{
    return left.pixels_ == right.pixels_ && left.scale_ == right.scale_ && left.renderingMode_ == right.renderingMode_
        && left.capInsets_ == right.capInsets_;
}

} // namespace platform::ui
