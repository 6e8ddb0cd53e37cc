// The production scheduler on real threads. These tests wait on real events
// only; nothing here measures time.
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
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

TEST(SystemScheduler, QueueReleasedByItsOwnBlockFinishesThatBlockAndDropsTheRest)
{
    auto queue = std::make_unique<DispatchQueue>("self-releasing");
    std::promise<void> go;
    std::promise<void> finished;
    std::promise<bool> droppedAfterRunning;
    std::atomic<bool> laterRan = false;
    // Fires when the queue lets go of the second block, run or not.
    std::shared_ptr<void> dropWitness(nullptr, [&](void*) { droppedAfterRunning.set_value(laterRan.load()); });

    queue->async([&, started = go.get_future().share()] {
        started.wait();
        queue.reset();
        finished.set_value();
    });
    queue->async([&laterRan, dropWitness] { laterRan = true; });
    dropWitness.reset();
    go.set_value();

    finished.get_future().wait();
    EXPECT_FALSE(droppedAfterRunning.get_future().get());
}

// Each call where the thread would wait for itself; the block must not run.
TEST(SystemScheduler, SyncThatWouldWaitForItselfIsRefused)
{
    DispatchQueue serial("serial");
    DispatchQueue other("other");
    DispatchQueue concurrent("concurrent", DispatchQueue::Attributes::concurrent);
    auto outcome = [](const DispatchQueue& queue) -> std::string {
        bool ran = false;
        try {
            queue.sync([&] { ran = true; });
        } catch (const std::logic_error&) {
            return ran ? "ran and threw" : "refused";
        }
        return ran ? "ran" : "neither";
    };

    std::promise<std::vector<std::string>> fromSerialBlock;
    serial.async([&] { fromSerialBlock.set_value({ outcome(serial), outcome(other), outcome(concurrent) }); });
    EXPECT_EQ(fromSerialBlock.get_future().get(), (std::vector<std::string> { "refused", "ran", "ran" }));

    std::promise<std::string> fromConcurrentBlock;
    concurrent.async([&] { fromConcurrentBlock.set_value(outcome(concurrent)); });
    EXPECT_EQ(fromConcurrentBlock.get_future().get(), "ran");

    // A sync holds its queue on the caller's thread, through syncs on other queues too.
    std::vector<std::string> insideSync;
    serial.sync([&] {
        insideSync.push_back(outcome(serial));
        other.sync([&] { insideSync.push_back(outcome(serial)); });
    });
    EXPECT_EQ(insideSync, (std::vector<std::string> { "refused", "refused" }));

    // The main thread drains the main queue, so it holds it; refusals leave the queues usable.
    EXPECT_EQ(outcome(DispatchQueue::main()), "refused");
    EXPECT_EQ(outcome(serial), "ran");
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
