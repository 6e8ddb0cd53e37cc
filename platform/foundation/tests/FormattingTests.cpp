#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/TimeZone.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(DateFormatter, FormatsInTheDevicesTimeZone)
{
    platform::TestEnvironment env; // Asia/Seoul, 2024-05-06 13:45:07 local
    platform::DateFormatter formatter("yyyyMMddHHmmss", "ko_KR_POSIX");
    EXPECT_EQ(formatter.string(platform::clock().now()), "20240506134507");

    platform::setCurrentTimeZoneIdentifier("UTC");
    EXPECT_EQ(formatter.string(platform::clock().now()), "20240506044507");
}

TEST(DateFormatter, FixedZoneAndParsing)
{
    platform::TestEnvironment env;
    platform::DateFormatter formatter("yyyy-MM-dd HH:mm:ss", "en_US_POSIX", "UTC");
    auto parsed = formatter.date("2024-05-06 04:45:07");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, platform::TestEnvironment::defaultStart());
    EXPECT_FALSE(formatter.date("not a date"));
}
