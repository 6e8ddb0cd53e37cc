#include "conn/RequestDate.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

namespace lumitrex {
namespace {

TEST(RequestDateTest, FoldsTwelveHourRenderingsIntoTwentyFourHours)
{
    struct Case {
        const char* formatted;
        const char* folded;
    };
    const Case cases[] = {
        { "2024-05-06 13:45:07", "2024-05-06 13:45:07" },
        { "2024-05-06 오후 3:05:03", "2024-05-06 15:05:03" },
        { "2024-05-06 오후 12:30:00", "2024-05-06 12:30:00" },
        { "2024-05-06 오전 12:30:00", "2024-05-06 00:30:00" },
        { "2024-05-06 오전 9:05:03", "2024-05-06 09:05:03" },
        { "2024-05-06 오전 10:05:03", "2024-05-06 10:05:03" },
        { "2024-05-06 오후 x:05:03", "2024-05-06 12:05:03" },
        { "2024-05-06 오전", "" },
        { "2024-05-06 오후 3:05", "" },
        { "2024-05-06 extra 오전 9:05:03", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formatted);
        EXPECT_EQ(foldTwelveHourRendering(c.formatted), c.folded);
    }
}

TEST(RequestDateTest, FormatsTheClockInTheDeviceTimeZone)
{
    platform::TestEnvironment env;
    EXPECT_EQ(requestDateString(), "2024-05-06 13:45:07");
    env.fastForwardBy(std::chrono::hours(11));
    EXPECT_EQ(requestDateString(), "2024-05-07 00:45:07");
}

} // namespace
} // namespace lumitrex
