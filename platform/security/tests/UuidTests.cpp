#include "platform/security/Uuid.h"

#include <gtest/gtest.h>

#include <cctype>

TEST(Uuid, RandomVersionFourInStandardTextForm)
{
    auto first = platform::makeUuidString();
    ASSERT_EQ(first.size(), 36u);
    for (std::size_t i = 0; i < first.size(); ++i) {
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        EXPECT_TRUE(dash ? first[i] == '-' : (std::isdigit(first[i]) || (first[i] >= 'A' && first[i] <= 'F'))) << first;
    }
    EXPECT_EQ(first[14], '4') << first;
    EXPECT_NE(std::string("89AB").find(first[19]), std::string::npos) << first;
    EXPECT_NE(first, platform::makeUuidString());
}
