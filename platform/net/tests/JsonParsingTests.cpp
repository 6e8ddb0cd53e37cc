#include "platform/net/JsonParsing.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

std::string nested(std::size_t levels, char open, char close, const std::string& inside = "")
{
    return std::string(levels, open) + inside + std::string(levels, close);
}

TEST(JsonParsingTest, NestingIsBoundedOutsideStringsOnly)
{
    struct Case {
        const char* name;
        std::string text;
        bool parses;
    };
    std::string objects;
    for (std::size_t level = 0; level < kMaxJsonNesting; ++level)
        objects += "{\"k\":";
    objects += "1" + std::string(kMaxJsonNesting, '}');
    const Case cases[] = {
        { "arrays at the bound", nested(kMaxJsonNesting, '[', ']'), true },
        { "objects at the bound", objects, true },
        { "arrays one past the bound", nested(kMaxJsonNesting + 1, '[', ']'), false },
        { "an object around arrays at the bound", "{\"a\":" + nested(kMaxJsonNesting, '[', ']') + "}", false },
        { "brackets inside strings", "[\"" + std::string(1000, '[') + "\\\"{{{\"]", true },
        { "a hundred thousand levels", nested(100000, '[', ']'), false },
        { "not JSON", "{\"a\":", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(!parseJsonOrDiscarded(c.text).is_discarded(), c.parses);
        if (c.parses)
            EXPECT_NO_THROW(parseJson(c.text));
        else
            EXPECT_THROW(parseJson(c.text), nlohmann::json::parse_error);
    }
}

} // namespace
} // namespace platform
