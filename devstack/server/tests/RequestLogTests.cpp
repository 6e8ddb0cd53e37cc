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

TEST(RequestLog, KeepsOnlyABoundedPrefixOfEachBody)
{
    constexpr auto limit = devstack::RequestLog::bodyPrefixLimit;
    const std::string body = std::string(limit, 'a') + std::string(100, 'b');

    httplib::Request form;
    form.method = "POST";
    form.path = "/upload";
    form.body = body;
    form.params.emplace("first", "1");
    form.params.emplace("huge", body);
    auto recorded = devstack::RequestLog::recordOf(form);
    EXPECT_EQ(recorded.body, body.substr(0, limit));
    EXPECT_EQ(recorded.bodySize, body.size());
    EXPECT_EQ(recorded.param("first"), "1");
    EXPECT_FALSE(recorded.param("huge")) << "decoded form parameters are bounded the same way";

    // Records made elsewhere are cut when they are recorded.
    devstack::RequestLog log;
    log.record({ "POST", "/direct", "", {}, {}, body });
    EXPECT_EQ(log.last()->body.size(), limit);
    EXPECT_EQ(log.last()->bodySize, body.size());
    log.record({ "POST", "/small", "", {}, {}, "{}" });
    EXPECT_EQ(log.last()->body, "{}");
    EXPECT_EQ(log.last()->bodySize, 2u);
}
