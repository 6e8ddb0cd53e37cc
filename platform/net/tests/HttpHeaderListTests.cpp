#include "platform/net/HttpHeaderList.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(HttpHeaderListTest, UpdateReplacesInPlaceIgnoringCaseAndAppendsNewNames)
{
    HttpHeaderList headers { { "Accept", "application/json" }, { "User-Agent", "caller" } };
    headers.update("user-agent", "brantwickMcard");
    headers.update("Authorization", "Bearer t");

    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers.entries()[0], (HttpHeader { "Accept", "application/json" }));
    // The existing entry keeps its place and spelling.
    EXPECT_EQ(headers.entries()[1], (HttpHeader { "User-Agent", "brantwickMcard" }));
    EXPECT_EQ(headers.entries()[2], (HttpHeader { "Authorization", "Bearer t" }));
    EXPECT_EQ(headers.value("AUTHORIZATION"), "Bearer t");
    EXPECT_FALSE(headers.value("User-Token"));
}

TEST(HttpHeaderListTest, ConvertsFromAndToHeaderMap)
{
    HttpHeaderList fromMap(std::map<std::string, std::string> { { "X-A", "1" }, { "x-a", "2" }, { "Accept", "*/*" } });
    EXPECT_EQ(fromMap.size(), 2u);
    EXPECT_EQ(fromMap.value("x-A"), "2");

    HttpHeaderList headers { { "User-Token", "" }, { "Accept", "application/json" } };
    auto map = headers.toMap();
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at("User-Token"), "");
    EXPECT_EQ(HttpHeaderList(map).value("accept"), "application/json");

    headers.remove("USER-TOKEN");
    EXPECT_FALSE(headers.contains("User-Token"));
}

} // namespace
} // namespace platform
