#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/testing/DamagedPropertyLists.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

using platform::Bundle;
using platform::PlistValue;

TEST(Bundle, InfoValuesOfAnyTypeAndIdentity)
{
    platform::TestEnvironment env;
    env.setInfoValue("MobileCard Background Mode Activate", PlistValue(true));
    env.setInfoValue("Mobile Card Key", PlistValue("abc="));
    auto& bundle = Bundle::main();
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("MobileCard Background Mode Activate"), PlistValue(true));
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("Mobile Card Key"), PlistValue("abc="));
    EXPECT_FALSE(bundle.objectForInfoDictionaryKey("absent"));
    EXPECT_EQ(bundle.bundleIdentifier(), "com.brantwick.tolven.tests");
    EXPECT_EQ(bundle.shortVersionString(), "1.0.0");
}

TEST(Bundle, LocalizedStringsFallBackAndFollowTableChanges)
{
    platform::TestEnvironment env;
    auto& bundle = Bundle::main();
    EXPECT_EQ(bundle.localizedString("This is a temporary state."), "This is a temporary state.");
    EXPECT_EQ(bundle.localizedString("key", "default"), "default");
    env.setLocalizedString("This is a temporary state.", "일시적인 상태입니다.");
    EXPECT_EQ(bundle.localizedString("This is a temporary state."), "일시적인 상태입니다.");
}

TEST(Bundle, TablesInTheClassicTextFormApply)
{
    platform::TestEnvironment env;
    // UTF-16 little-endian with a byte-order mark, as translation tools write it.
    std::u16string text = u"/* Card */\n\"This is a temporary state.\" = \"\uc77c\uc2dc\\U2019\";\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    ASSERT_TRUE(platform::writeFileAtomically(env.bundleFolder() / "Errors.strings", bytes));
    EXPECT_EQ(Bundle::main().localizedString("This is a temporary state.", {}, "Errors"), "일시\u2019");
}

TEST(Bundle, UnreadableFilesGiveAbsentValuesAndOneConsoleLineEach)
{
    platform::TestEnvironment env;
    std::vector<std::string> lines;
    platform::setConsoleSinkForTesting([&](std::string_view line) { lines.emplace_back(line); });
    env.setLocalizedString("key", "translation");
    auto& bundle = Bundle::main();
    auto info = env.bundleFolder() / "Info.plist";
    auto table = env.bundleFolder() / "Localizable.strings";

    for (const auto& sample : platform::testing::damagedPropertyLists()) {
        SCOPED_TRACE(sample.name);
        lines.clear();
        ASSERT_TRUE(platform::writeFileAtomically(info, sample.bytes));
        EXPECT_FALSE(bundle.objectForInfoDictionaryKey("k"));
        EXPECT_EQ(bundle.bundleIdentifier(), "");
        EXPECT_EQ(lines, std::vector<std::string>({ "Bundle: Info.plist could not be read: not a property list" }));
    }

    lines.clear();
    ASSERT_TRUE(platform::writeFileAtomically(table, "\"key\" = \"unterminated;"));
    EXPECT_EQ(bundle.localizedString("key"), "key");
    EXPECT_EQ(bundle.localizedString("key", "fallback"), "fallback");
    platform::setConsoleSinkForTesting(nullptr);
    EXPECT_EQ(lines, std::vector<std::string>({ "Bundle: Localizable.strings could not be read: line 1: unterminated string" }));
}

TEST(Bundle, ResourcesStayInsideTheBundle)
{
    platform::TestEnvironment env;
    EXPECT_TRUE(Bundle::main().pathForResource("Info", "plist"));
    EXPECT_FALSE(Bundle::main().pathForResource("../data", ""));
    EXPECT_FALSE(Bundle::main().pathForResource("missing", "png"));
}

TEST(NotificationCenter, DeliversByNameInOrderAndStopsAfterRemoval)
{
    auto& center = platform::NotificationCenter::defaultCenter();
    std::vector<std::string> seen;
    auto first = center.addObserver("payCallbackReceived", [&](const platform::Notification&) { seen.push_back("first"); });
    platform::NotificationCenter::Token second = 0;
    second = center.addObserver("payCallbackReceived", [&](const platform::Notification&) {
        seen.push_back("second");
        center.removeObserver(second);
    });
    auto other = center.addObserver("other", [&](const platform::Notification&) { seen.push_back("other"); });

    center.post({ "payCallbackReceived", {} });
    center.post({ "payCallbackReceived", {} });
    EXPECT_EQ(seen, std::vector<std::string>({ "first", "second", "first" }));
    center.removeObserver(first);
    center.removeObserver(other);
}

TEST(Console, CapturesLinesForTests)
{
    std::vector<std::string> lines;
    platform::setConsoleSinkForTesting([&](std::string_view line) { lines.emplace_back(line); });
    platform::console("checkGetLogin raw:\n{}");
    platform::setConsoleSinkForTesting(nullptr);
    EXPECT_EQ(lines, std::vector<std::string>({ "checkGetLogin raw:\n{}" }));
}
