#include "platform/net/ParameterEncoding.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(PercentEscapeTest, EscapesAllButUnreservedAndSlash)
{
    struct Case {
        const char* text;
        const char* escaped;
    };
    const Case cases[] = {
        { "AZaz09-._~/", "AZaz09-._~/" },
        { "?", "%3F" },
        { "a b", "a%20b" },
        { ":#[]@!$&'()*+,;=", "%3A%23%5B%5D%40%21%24%26%27%28%29%2A%2B%2C%3B%3D" },
        { "%", "%25" },
        { "\xED\x99\x8D", "%ED%99%8D" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(percentEscape(c.text), c.escaped);
    }
}

TEST(UrlFormEncoderTest, NestedValuesUseBracketKeysAndNullsAreLeftOut)
{
    HttpRequest request;
    request.url = "https://h/x";
    request.method = HttpMethod::post();
    nlohmann::json value { { "b", { 1, 2 } }, { "a", { { "y", true }, { "x", "v" } } }, { "c", nullptr } };
    ASSERT_FALSE(encodeValue(request, value, ParameterEncoder::urlForm));
    EXPECT_EQ(request.body, "a%5Bx%5D=v&a%5By%5D=true&b%5B%5D=1&b%5B%5D=2");

    HttpRequest get;
    get.url = "https://h/x#top";
    ASSERT_FALSE(encodeValue(get, nlohmann::json { { "k", "v" } }, ParameterEncoder::urlForm));
    EXPECT_EQ(get.url, "https://h/x?k=v#top");
    EXPECT_EQ(get.body, "");
}

} // namespace
} // namespace platform
