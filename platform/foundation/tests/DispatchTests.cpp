#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using platform::DispatchQueue;
using platform::TestEnvironment;
using platform::Timer;

TEST(VirtualTime, RunsTasksByDeadlineThenSubmissionAcrossQueues)
{
    TestEnvironment env;
    DispatchQueue serial("serial");
    DispatchQueue concurrent("concurrent", DispatchQueue::Attributes::concurrent);
    std::vector<std::string> order;

    serial.asyncAfter(20ms, [&] { order.push_back("serial 20ms"); });
    DispatchQueue::main().asyncAfter(10ms, [&] { order.push_back("main 10ms"); });
    concurrent.asyncAfter(20ms, [&] { order.push_back("concurrent 20ms"); });
    DispatchQueue::main().async([&] { order.push_back("main now"); });

    env.runUntilIdle();
    EXPECT_EQ(order, std::vector<std::string>({ "main now" }));
    env.fastForwardBy(9ms);
    EXPECT_EQ(order.size(), 1u);
    env.fastForwardBy(1ms);
    EXPECT_EQ(order.back(), "main 10ms");
    env.fastForwardBy(10ms);
    EXPECT_EQ(order, std::vector<std::string>({ "main now", "main 10ms", "serial 20ms", "concurrent 20ms" }));
}

TEST(VirtualTime, TaskSeesItsOwnDeadlineAsNow)
{
    TestEnvironment env;
    auto start = platform::clock().monotonicNow();
    platform::Duration seen {};
    DispatchQueue::main().asyncAfter(3s, [&] { seen = platform::clock().monotonicNow() - start; });
    env.fastForwardBy(1min);
    EXPECT_EQ(seen, 3s);
    EXPECT_EQ(platform::clock().monotonicNow() - start, 1min);
}

TEST(VirtualTime, SyncRunsInlineAndWallClockFollows)
{
    TestEnvironment env;
    auto wallBefore = platform::clock().now();
    bool ran = false;
    DispatchQueue("peripheral").sync([&] { ran = true; });
    EXPECT_TRUE(ran);
    env.fastForwardBy(90s);
    EXPECT_EQ(platform::clock().now() - wallBefore, 90s);
}

// The blocks all run on the test thread, yet a sync that would wait for itself
// on real threads is refused here too, so such a deadlock shows in any test.
TEST(VirtualTime, SyncThatWouldWaitForItselfIsRefusedAsOnRealThreads)
{
    TestEnvironment env;
    DispatchQueue serial("serial");
    auto refused = [](const DispatchQueue& queue) {
        try {
            queue.sync([] { });
        } catch (const std::logic_error&) {
            return true;
        }
        return false;
    };
    std::vector<bool> fromSerialBlock;
    serial.async([&] { fromSerialBlock = { refused(serial), refused(DispatchQueue::main()) }; });
    env.runUntilIdle();
    EXPECT_EQ(fromSerialBlock, (std::vector<bool> { true, false }));
    EXPECT_TRUE(refused(DispatchQueue::main()));
    EXPECT_FALSE(refused(serial));
}

TEST(VirtualTime, RepeatingTimerTicksUntilInvalidated)
{
    TestEnvironment env;
    int ticks = 0;
    auto timer = Timer::scheduledTimer(300ms, true, [&](Timer&) { ++ticks; });

    env.fastForwardBy(299ms);
    EXPECT_EQ(ticks, 0);
    env.fastForwardBy(1ms);
    EXPECT_EQ(ticks, 1);
    env.fastForwardBy(3s);
    EXPECT_EQ(ticks, 11);

    timer->invalidate();
    env.fastForwardBy(3s);
    EXPECT_EQ(ticks, 11);
    EXPECT_EQ(env.pendingTaskCount(), 0u);
}

TEST(VirtualTime, OneShotTimerFiresOnceAndInvalidatesItself)
{
    TestEnvironment env;
    int fired = 0;
    auto timer = Timer::scheduledTimer(1s, false, [&](Timer&) { ++fired; });
    env.fastForwardBy(5s);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer->isValid());
}

TEST(VirtualTime, TimerMayInvalidateItselfFromItsAction)
{
    TestEnvironment env;
    int ticks = 0;
    Timer::scheduledTimer(100ms, true, [&](Timer& timer) {
        if (++ticks == 3)
            timer.invalidate();
    });
    env.fastForwardBy(1s);
    EXPECT_EQ(ticks, 3);
}

TEST(VirtualTime, RunUntilWaitsForWorkPostedByOtherThreads)
{
    TestEnvironment env;
    bool delivered = false;
    std::thread worker([] { DispatchQueue::main().async([] { }); });
    std::thread second([&] { DispatchQueue::main().sync([&] { delivered = true; }); });
    EXPECT_TRUE(env.runUntil([&] { return delivered; }));
    worker.join();
    second.join();
}

TEST(Once, RunsItsBlockOnceAcrossThreads)
{
    platform::Once once;
    std::atomic<int> runs = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] { once.run([&] { ++runs; }); });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(runs.load(), 1);
}
