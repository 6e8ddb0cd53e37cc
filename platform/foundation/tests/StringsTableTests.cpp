#include "platform/foundation/StringsTable.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/testing/DamagedPropertyLists.h"

#include <gtest/gtest.h>

using platform::StringsTable;

namespace {

// `text` (ASCII) as UTF-16 with a byte-order mark.
std::string utf16(std::string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) {
        bytes += bigEndian ? '\0' : c;
        bytes += bigEndian ? c : '\0';
    }
    return bytes;
}

} // namespace

TEST(StringsTable, ReadsTheClassicTextFormAndPropertyLists)
{
    const std::string classic = "/* Shown on the card. */\n"
                                "\"This is a temporary state.\" = \"일시적인 상태입니다.\";\n"
                                "// escapes\n"
                                "\"quote\" = \"say \\\"hi\\\"\\\\\\n\\U2019\\UD83D\\uDE00\\101\";\n"
                                "unquoted_key.1 = \"value\" ; \"same\";\n"
                                "\"dup\" = \"first\"; \"dup\" = \"second\";";
    const StringsTable expected {
        { "This is a temporary state.", "일시적인 상태입니다." },
        { "quote", "say \"hi\"\\\n\u2019\U0001F600A" },
        { "unquoted_key.1", "value" },
        { "same", "same" },
        { "dup", "second" },
    };
    struct Case {
        const char* name;
        std::string bytes;
        StringsTable table;
    };
    const Case cases[] = {
        { "UTF-8", classic, expected },
        { "UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + classic, expected },
        { "UTF-16 little-endian", utf16("\"a\" = \"\\U00e9\";", false), { { "a", "\u00e9" } } },
        { "UTF-16 big-endian", utf16("\"a\" = \"b\";", true), { { "a", "b" } } },
        { "in braces", "{ \"a\" = \"b\"; } // end", { { "a", "b" } } },
        { "empty", "  /* nothing yet */ ", {} },
        { "XML property list", platform::serializePropertyList(platform::PlistValue::Dictionary { { "a", "b" } }), { { "a", "b" } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        auto table = platform::parseStringsTable(c.bytes, error);
        ASSERT_TRUE(table) << error;
        EXPECT_EQ(*table, c.table);
    }
}

TEST(StringsTable, BadInputGivesNoTableAndSaysWhere)
{
    using namespace std::string_literals;
    struct Case {
        std::string bytes;
        const char* error;
    };
    const Case cases[] = {
        { "\"a\" = \"b\"\n\"c\" = \"d\";", "line 2: expected \";\"" },
        { "\"a\" = ;", "line 1: expected a value" },
        { "\"a\" \"b\";", "line 1: expected \";\"" },
        { "\"a\" = \"b", "line 1: unterminated string" },
        { "\"a\" = \"b\";\n/* open", "line 2: unterminated comment" },
        { "{ \"a\" = \"b\";", "line 1: missing \"}\"" },
        { "\"a\" = \"\\UD83D\";", "line 1: unpaired surrogate" },
        { "\"a\" = \"\\UDE00\";", "line 1: unpaired surrogate" },
        { "\"a\" = \"\\U0000\";", "line 1: NUL character" },
        { "\"a\" = \"\\0\";", "line 1: NUL character" },
        { "\"a\" = \"\\377\";", "line 1: octal escape beyond ASCII" },
        { "\"a\" = \"\\Ux\";", "line 1: \\U without hex digits" },
        { "\"a\" = \"a\0b\";"s, "NUL character" },
        { "\"a\" = \"\xC3\x28\";", "neither UTF-8 nor UTF-16 with a byte-order mark" },
        { "\xFF\xFE\"\0a"s, "UTF-16 text of odd length" },
        { "\xFF\xFE\x00\xD8"s, "UTF-16 text with an unpaired surrogate" },
        { "<plist><string>a</string></plist>", "not a property list of texts" },
        { platform::testing::binaryDictionary("\x51k", "\x63\0a\0\0\0b"s), "not a property list of texts" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::string error;
        EXPECT_FALSE(platform::parseStringsTable(c.bytes, error));
        EXPECT_EQ(error, c.error);
    }
}
