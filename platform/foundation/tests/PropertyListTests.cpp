#include "platform/foundation/PropertyList.h"
#include "platform/foundation/testing/DamagedPropertyLists.h"

#include <gtest/gtest.h>

using platform::PlistValue;
using platform::testing::binaryDictionary;

TEST(PropertyList, StringsAndKeysAreReadWithTheirLengthInBothForms)
{
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string bytes;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        { "XML", "<plist version=\"1.0\"><dict><key>k</key><string>a&amp;b</string></dict></plist>", "k", "a&b" },
        { "binary ASCII", binaryDictionary("\x51k", "\x53" "aXb"), "k", "aXb" },
        { "binary UTF-16", binaryDictionary("\x62\0k\0y"s, "\x62\0a\x20\x19"s), "ky", "a\u2019" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto parsed = platform::parsePropertyList(c.bytes);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, PlistValue(PlistValue::Dictionary { { c.key, PlistValue(c.value) } }));
    }
}

TEST(PropertyList, NulInsideAStringOrKeyIsADamagedList)
{
    for (const auto& sample : platform::testing::damagedPropertyLists()) {
        SCOPED_TRACE(sample.name);
        EXPECT_FALSE(platform::parsePropertyList(sample.bytes));
    }
}
