#include "platform/foundation/URLComponents.h"

#include <gtest/gtest.h>

using platform::URLComponents;
using platform::URLQueryItem;

TEST(URLComponents, ParsesAbsoluteAddressesWithOrWithoutAHost)
{
    struct Case {
        const char* address;
        bool parses;
        const char* scheme;
        std::optional<std::string> host;
    };
    const Case cases[] = {
        { "TOLVEN://Result?x=1", true, "tolven", "Result" },
        { "tolven:?result=success", true, "tolven", std::nullopt },
        { "tolven:///path", true, "tolven", std::nullopt },
        { "localhost:/logout", true, "localhost", std::nullopt },
        { "https://localhost:8443/oauth2/v1/logout", true, "https", "localhost" },
        { "no scheme here", false, "", std::nullopt },
        { "tolven://p?a=%ZZ", false, "", std::nullopt },
        { "", false, "", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        auto components = URLComponents::parse(c.address);
        ASSERT_EQ(components.has_value(), c.parses);
        if (!components)
            continue;
        EXPECT_EQ(components->scheme(), c.scheme);
        EXPECT_EQ(components->host(), c.host);
    }
}

TEST(URLComponents, QueryItemsKeepOrderAndTellNoValueFromAnEmptyOne)
{
    auto components = URLComponents::parse("tolven://p?a&b=&a=1&msg=%ED%95%9C%EA%B8%80+ok&bad=%FF&c=x=y");
    ASSERT_TRUE(components);
    std::vector<URLQueryItem> expected {
        { "a", std::nullopt }, { "b", "" }, { "a", "1" }, { "msg", "한글+ok" }, { "bad", std::nullopt }, { "c", "x=y" },
    };
    EXPECT_EQ(components->queryItems(), expected);
    EXPECT_TRUE(URLComponents::parse("tolven://p")->queryItems().empty());
}

TEST(URLComponents, EscapesQueryItemsItWrites)
{
    auto components = URLComponents::parse("https://localhost:8443/oauth2/v1/logout");
    ASSERT_TRUE(components);
    components->setQueryItems({ { "post_logout_redirect_uri", "localhost:/logout" }, { "id_token_hint", "a.b&c=d" } });
    auto address = components->string();
    EXPECT_EQ(address, "https://localhost:8443/oauth2/v1/logout?post_logout_redirect_uri=localhost%3A%2Flogout&id_token_hint=a.b%26c%3Dd");
    EXPECT_EQ(URLComponents::parse(address)->queryItems()[1].value, "a.b&c=d");
}
