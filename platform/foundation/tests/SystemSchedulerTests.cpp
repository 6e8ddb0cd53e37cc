// The production scheduler on real threads. These tests wait on real events
// only; nothing here measures time.
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using platform::DispatchQueue;

TEST(SystemScheduler, SerialQueueRunsBlocksOneAtATimeInOrder)
{
    DispatchQueue queue("serial");
    std::vector<int> order;
    std::atomic<int> running = 0;
    bool overlapped = false;
    for (int i = 0; i < 200; ++i)
        queue.async([&, i] {
            if (running.fetch_add(1) != 0)
                overlapped = true;
            order.push_back(i);
            running.fetch_sub(1);
        });
    queue.sync([] { });
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_FALSE(overlapped);
}

TEST(SystemScheduler, SyncRunsOnTheCallersThreadAfterEarlierBlocks)
{
    DispatchQueue queue("peripheral");
    std::atomic<bool> earlierDone = false;
    queue.async([&] { earlierDone = true; });
    std::thread::id ranOn;
    bool sawEarlier = false;
    queue.sync([&] {
        ranOn = std::this_thread::get_id();
        sawEarlier = earlierDone;
    });
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_TRUE(sawEarlier);
}

TEST(SystemScheduler, ConcurrentQueueRunsEveryBlock)
{
    DispatchQueue queue("BLEQueue", DispatchQueue::Attributes::concurrent);
    std::atomic<int> count = 0;
    std::promise<void> allDone;
    for (int i = 0; i < 100; ++i)
        queue.asyncAfter(1ms, [&] {
            if (++count == 100)
                allDone.set_value();
        });
    allDone.get_future().wait();
    EXPECT_EQ(count.load(), 100);
}

TEST(SystemScheduler, MainRunLoopDrainsMainQueueAndTimers)
{
    ASSERT_EQ(&platform::RunLoop::current(), &platform::RunLoop::main());
    int ticks = 0;
    bool asyncRan = false;
    DispatchQueue::main().async([&] { asyncRan = true; });
    platform::Timer::scheduledTimer(1ms, true, [&](platform::Timer& timer) {
        if (++ticks == 3) {
            timer.invalidate();
            platform::RunLoop::main().stop();
        }
    });
    platform::RunLoop::main().run();
    EXPECT_TRUE(asyncRan);
    EXPECT_EQ(ticks, 3);
}

TEST(SystemScheduler, OtherThreadsHaveTheirOwnRunLoop)
{
    platform::RunLoop* seen = nullptr;
    std::thread([&] { seen = &platform::RunLoop::current(); }).join();
    EXPECT_NE(seen, &platform::RunLoop::main());
}
