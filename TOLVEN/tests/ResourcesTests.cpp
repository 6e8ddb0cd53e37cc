#include "platform/foundation/Bundle.h"
#include "platform/ui/graphics/FontLibrary.h"
#include "platform/ui/graphics/Image.h"

#include <gtest/gtest.h>

namespace {

const platform::Bundle& applicationBundle()
{
    static platform::Bundle bundle(TOLVEN_RESOURCES_FOLDER);
    return bundle;
}

TEST(ApplicationResources, EveryImageTheCardFacesNameIsADrawingOfTheBundle)
{
    for (const char* name : { "rectangle219", "group25", "group22", "paginationDot_sel", "paginationDot _nonsel" }) {
        auto image = platform::ui::Image::named(name, applicationBundle());
        ASSERT_TRUE(image) << name;
        EXPECT_GT(image->size().width, 0) << name;
    }
}

TEST(ApplicationResources, TheApplicationFontNameIsDrawnByAFaceWithHangul)
{
    auto& fonts = platform::ui::FontLibrary::shared();
    ASSERT_TRUE(fonts.loadConfigurationOfBundle(applicationBundle()));
    EXPECT_EQ(fonts.resolvedFamily(platform::ui::Font::named("BrantwickSansApp-Regular", 16)), "Noto Sans CJK KR");
    fonts.useSystemConfiguration();
}

} // namespace
