#include "platform/foundation/Bundle.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/testing/Seams.h"
#include "platform/ui/graphics/FontLibrary.h"
#include "platform/ui/graphics/TextLayout.h"
#include "platform/ui/graphics/TextMeasurement.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace platform::ui;

namespace {

const std::string longText = "The quick brown fox jumps over the lazy dog and keeps running far away";

// A bundle whose fonts.conf maps the application's font name to the Noto face.
class FontConfigurationTest : public ::testing::Test {
protected:
    void writeFontsConf(const std::string& body)
    {
        std::ofstream(env.bundleFolder() / "fonts.conf") << body;
    }
    void TearDown() override { FontLibrary::shared().useSystemConfiguration(); }

    platform::TestEnvironment env;
};

const char* notoAlias = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <match target="pattern">
    <test name="family"><string>AppSans-Bold</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Noto Sans CJK KR</string></edit>
    <edit name="weight" mode="assign"><const>bold</const></edit>
  </match>
</fontconfig>
)";

} // namespace

TEST_F(FontConfigurationTest, ApplicationFontNamesResolveThroughTheBundlesConfiguration)
{
    const Font appFont = Font::named("AppSans-Bold", 16);
    EXPECT_NE(FontLibrary::shared().resolvedFamily(appFont), "Noto Sans CJK KR");

    writeFontsConf(notoAlias);
    ASSERT_TRUE(FontLibrary::shared().loadConfigurationOfBundle(platform::Bundle::main()));
    EXPECT_EQ(FontLibrary::shared().resolvedFamily(appFont), "Noto Sans CJK KR");

    // Every Hangul syllable finds a glyph, in the application's font and in the system font.
    for (const Font& font : { appFont, Font::systemFont(14) }) {
        auto text = layOutText("만료일자 출입건물 전체 선택", font, {});
        EXPECT_EQ(pango_layout_get_unknown_glyphs_count(text.layout.get()), 0);
        EXPECT_GT(text.measurement.size.width, 0);
    }
}

TEST_F(FontConfigurationTest, AMalformedConfigurationKeepsThePreviousOne)
{
    writeFontsConf(notoAlias);
    ASSERT_TRUE(FontLibrary::shared().loadConfigurationOfBundle(platform::Bundle::main()));

    std::vector<std::string> lines;
    platform::setConsoleSinkForTesting([&](std::string_view line) { lines.emplace_back(line); });
    writeFontsConf("<fontconfig><match>");
    EXPECT_FALSE(FontLibrary::shared().loadConfigurationOfBundle(platform::Bundle::main()));
    platform::setConsoleSinkForTesting({});

    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(FontLibrary::shared().resolvedFamily(Font::named("AppSans-Bold", 16)), "Noto Sans CJK KR");
}

TEST(TextMeasurement, LinesWidthsAndTruncation)
{
    const Font font = Font::systemFont(17);
    const double lineHeight = measureText("Hg", font).size.height;
    ASSERT_GT(lineHeight, 10);

    struct Case {
        const char* name;
        std::string text;
        TextOptions options;
        int lines; // 0: more than two
        bool truncated;
    };
    const Case cases[] = {
        { "one line, no limit", longText, {}, 1, false },
        { "one line cut to the width", longText, { .widthLimit = 120 }, 1, true },
        { "wrapped without a line limit", longText, { .widthLimit = 120, .numberOfLines = 0 }, 0, false },
        { "wrapped to two lines", longText, { .widthLimit = 120, .numberOfLines = 2 }, 2, true },
        { "clipped to two lines", longText, { .widthLimit = 120, .numberOfLines = 2, .lineBreakMode = LineBreakMode::byWordWrapping }, 2, true },
        { "paragraphs beyond the limit", "one\ntwo\nthree", { .widthLimit = 300, .numberOfLines = 2 }, 2, true },
        { "paragraphs without a width", "one\ntwo", {}, 1, true },
        { "paragraphs that fit", "one\ntwo", { .numberOfLines = 0 }, 2, false },
        { "head truncation", longText, { .widthLimit = 120, .lineBreakMode = LineBreakMode::byTruncatingHead }, 1, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto measured = measureText(c.text, font, c.options);
        if (c.lines == 0) {
            EXPECT_GT(measured.lineCount, 2);
        } else {
            EXPECT_EQ(measured.lineCount, c.lines);
        }
        EXPECT_EQ(measured.truncated, c.truncated);
        EXPECT_NEAR(measured.size.height, measured.lineCount * lineHeight, 1.0);
        if (c.options.widthLimit > 0) {
            EXPECT_LE(measured.size.width, c.options.widthLimit);
        }
        EXPECT_EQ(measured.fontScale, 1);
    }
}

TEST(TextMeasurement, EmptyTextMeasuresNothingAndBrokenUtf8StillMeasures)
{
    auto empty = measureText("", Font::systemFont(17));
    EXPECT_EQ(empty.size, Size {});
    EXPECT_EQ(empty.lineCount, 0);

    auto broken = measureText(std::string("ab\xC3\x28\xFF", 5) + std::string(1, '\0') + "cd", Font::named("Missing-Font", 0));
    EXPECT_EQ(broken.lineCount, 1);
    EXPECT_GT(broken.size.width, 0);
}

TEST(TextMeasurement, ShrinksToFitDownToTheMinimumScale)
{
    const Font font = Font::systemFont(14);
    const double natural = measureText("Parking area fee", font).size.width;

    auto shrunk = measureText("Parking area fee", font,
        { .widthLimit = natural * 0.7, .adjustsFontSizeToFitWidth = true, .minimumScaleFactor = 0.5 });
    EXPECT_FALSE(shrunk.truncated);
    EXPECT_LE(shrunk.size.width, natural * 0.7);
    EXPECT_NEAR(shrunk.fontScale, 0.7, 0.05);

    auto atMinimum = measureText("Parking area fee", font,
        { .widthLimit = natural * 0.3, .adjustsFontSizeToFitWidth = true, .minimumScaleFactor = 0.5 });
    EXPECT_TRUE(atMinimum.truncated);
    EXPECT_DOUBLE_EQ(atMinimum.fontScale, 0.5);

    // A factor of zero means the font keeps its size.
    auto noFactor = measureText("Parking area fee", font, { .widthLimit = natural * 0.7, .adjustsFontSizeToFitWidth = true });
    EXPECT_EQ(noFactor.fontScale, 1);
    EXPECT_TRUE(noFactor.truncated);

    auto wrapped = measureText(longText, font,
        { .widthLimit = 150, .numberOfLines = 2, .adjustsFontSizeToFitWidth = true, .minimumScaleFactor = 0.5 });
    EXPECT_LT(wrapped.fontScale, 1);
    EXPECT_LE(wrapped.lineCount, 2);
}
