#include "platform/foundation/Bundle.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/ui/graphics/Image.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <fstream>

using namespace platform::ui;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

// A 4 × 2 pixel image, red, encoded by gdk-pixbuf's own saver.
Bytes encodedRed(const char* type)
{
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 4, 2);
    gdk_pixbuf_fill(pixbuf, 0xFF0000FF);
    gchar* buffer = nullptr;
    gsize size = 0;
    EXPECT_TRUE(gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, type, nullptr, nullptr));
    Bytes bytes(buffer, buffer + size);
    g_free(buffer);
    g_object_unref(pixbuf);
    return bytes;
}

void expectColor(const Color& actual, const Color& expected, double tolerance = 0.02)
{
    EXPECT_NEAR(actual.red, expected.red, tolerance);
    EXPECT_NEAR(actual.green, expected.green, tolerance);
    EXPECT_NEAR(actual.blue, expected.blue, tolerance);
    EXPECT_NEAR(actual.alpha, expected.alpha, tolerance);
}

const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="20">
<rect x="0" y="0" width="10" height="20" fill="#0000ff"/></svg>)";

} // namespace

TEST(Image, WholePngJpegAndSvgDecodeWithTheirSizes)
{
    for (const char* type : { "png", "jpeg" }) {
        SCOPED_TRACE(type);
        auto image = Image::fromData(encodedRed(type), 2);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->pixelWidth(), 4);
        EXPECT_EQ(image->pixelHeight(), 2);
        EXPECT_EQ(image->size(), (Size { 2, 1 }));
        expectColor(image->colorAtPixel(3, 1), Color::rgba(1, 0, 0), 0.05);
    }

    auto vector = Image::fromData(bytesOf(svg));
    ASSERT_TRUE(vector);
    EXPECT_EQ(vector->scale(), Image::vectorScale);
    EXPECT_EQ(vector->size(), (Size { 10, 20 }));
    expectColor(vector->colorAtPixel(15, 30), Color::rgba(0, 0, 1));
}

TEST(Image, CutOffOrForeignBytesGiveNoImage)
{
    const Bytes png = encodedRed("png");
    const Bytes jpeg = encodedRed("jpeg");
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        { "empty", {} },
        { "text", bytesOf("not an image") },
        { "png without its end chunk", Bytes(png.begin(), png.end() - 12) },
        { "png cut in its pixel data", Bytes(png.begin(), png.begin() + static_cast<long>(png.size()) / 2 + 10) },
        { "png signature alone", Bytes(png.begin(), png.begin() + 8) },
        { "jpeg without its end marker", Bytes(jpeg.begin(), jpeg.end() - 2) },
        { "jpeg cut in its scan", Bytes(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size()) * 3 / 4) },
        { "jpeg start marker alone", Bytes(jpeg.begin(), jpeg.begin() + 3) },
        { "svg cut off", bytesOf(svg.substr(0, svg.size() / 2)) },
        { "gif", bytesOf("GIF89a\x01\x00\x01\x00") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Image::fromData(c.bytes));
    }
}

TEST(Image, AHeaderAskingForHugePixelsIsRefused)
{
    Bytes png = encodedRed("png");
    // IHDR width: 0x40000 pixels wide.
    png[16] = 0x00;
    png[17] = 0x04;
    png[18] = 0x00;
    png[19] = 0x00;
    EXPECT_FALSE(Image::fromData(png));
}

TEST(Image, NamedImagesComeFromTheBundlesAssetsWithTheirScale)
{
    platform::TestEnvironment env;
    const auto assets = env.bundleFolder() / "Assets";
    std::filesystem::create_directories(assets);
    const Bytes png = encodedRed("png");
    std::ofstream(assets / "logo@2x.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()), static_cast<long>(png.size()));
    std::ofstream(assets / "broken.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()), 40);
    std::ofstream(assets / "icon.svg") << svg;

    auto logo = Image::named("logo");
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->scale(), 2);
    EXPECT_EQ(logo->size(), (Size { 2, 1 }));
    EXPECT_TRUE(Image::named("icon"));
    EXPECT_FALSE(Image::named("broken"));
    EXPECT_FALSE(Image::named("missing"));
    EXPECT_FALSE(Image::named("../Assets/logo@2x"));
    EXPECT_TRUE(Image::fromFile(assets / "logo@2x.png"));
    EXPECT_FALSE(Image::fromFile(assets / "broken.png"));
    EXPECT_FALSE(Image::fromFile(assets / "absent.png"));
}

TEST(Image, SystemSymbolsAreTemplatesAndFilledImagesHoldTheirColour)
{
    for (const char* name : { "chevron.down", "checkmark.square.fill", "square" }) {
        SCOPED_TRACE(name);
        auto symbol = Image::systemNamed(name, 18);
        ASSERT_TRUE(symbol);
        EXPECT_EQ(symbol->renderingMode(), ImageRenderingMode::alwaysTemplate);
        EXPECT_EQ(symbol->size(), (Size { 18, 18 }));
        EXPECT_EQ(symbol->colorAtPixel(0, 0).alpha, 0);
    }
    EXPECT_GT(Image::systemNamed("checkmark.square.fill", 18)->colorAtPixel(5, 27).alpha, 0.9);
    EXPECT_FALSE(Image::systemNamed("star.fill"));

    auto blue = Image::filled(Color::rgba(0, 0, 1, 0.5), { 1, 1 }, 3);
    EXPECT_EQ(blue.pixelWidth(), 3);
    expectColor(blue.colorAtPixel(2, 2), Color::rgba(0, 0, 1, 0.5));
    auto stretched = blue.resizableImage({});
    EXPECT_EQ(stretched.capInsets(), EdgeInsets {});
    EXPECT_FALSE(stretched == blue);

    auto decoded = Image::fromData(bytesOf(blue.pngData()));
    ASSERT_TRUE(decoded);
    expectColor(decoded->colorAtPixel(1, 1), Color::rgba(0, 0, 1, 0.5));
}
