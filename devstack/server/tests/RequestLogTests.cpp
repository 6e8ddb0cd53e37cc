#include "devstack/server/RequestLog.h"

#include <gtest/gtest.h>

TEST(RequestLog, KeepsOnlyNewerRequestsButCountsThemAll)
{
    devstack::RequestLog log;
    for (std::size_t i = 0; i <= devstack::RequestLog::capacity; ++i)
        log.record({ "GET", "/" + std::to_string(i), "", {}, {}, "" });

    EXPECT_EQ(log.count(), devstack::RequestLog::capacity + 1);
    auto kept = log.all();
    ASSERT_EQ(kept.size(), devstack::RequestLog::capacity / 2 + 1);
    EXPECT_EQ(kept.front().path, "/" + std::to_string(devstack::RequestLog::capacity / 2));
    EXPECT_EQ(log.last()->path, "/" + std::to_string(devstack::RequestLog::capacity));

    log.clear();
    EXPECT_EQ(log.count(), 0u);
    EXPECT_FALSE(log.last());
}
