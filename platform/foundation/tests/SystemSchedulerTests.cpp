// The production scheduler on real threads. These tests wait on real events
// only; nothing here measures time.
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/QueueHost.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using platform::DispatchQueue;

namespace {

// Whether a sync on `queue` from here ran its block or was refused.
std::string syncOutcome(const DispatchQueue& queue)
{
    bool ran = false;
    try {
        queue.sync([&] { ran = true; });
    } catch (const std::logic_error&) {
        return ran ? "ran and threw" : "refused";
    }
    return ran ? "ran" : "neither";
}

} // namespace

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

    std::promise<std::vector<std::string>> fromSerialBlock;
    serial.async([&] { fromSerialBlock.set_value({ syncOutcome(serial), syncOutcome(other), syncOutcome(concurrent) }); });
    EXPECT_EQ(fromSerialBlock.get_future().get(), (std::vector<std::string> { "refused", "ran", "ran" }));

    std::promise<std::string> fromConcurrentBlock;
    concurrent.async([&] { fromConcurrentBlock.set_value(syncOutcome(concurrent)); });
    EXPECT_EQ(fromConcurrentBlock.get_future().get(), "ran");

    // A sync holds its queue on the caller's thread, through syncs on other queues too.
    std::vector<std::string> insideSync;
    serial.sync([&] {
        insideSync.push_back(syncOutcome(serial));
        other.sync([&] { insideSync.push_back(syncOutcome(serial)); });
    });
    EXPECT_EQ(insideSync, (std::vector<std::string> { "refused", "refused" }));

    // The main thread drains the main queue, so it holds it; refusals leave the queues usable.
    EXPECT_EQ(syncOutcome(DispatchQueue::main()), "refused");
    EXPECT_EQ(syncOutcome(serial), "ran");
}

// A thread with a loop of its own runs the blocks of the queues it hosts.
TEST(SystemScheduler, HostedQueuesRunOnTheHostThreadInOrderAndAreHeldThere)
{
    std::mutex mutex;
    std::condition_variable wakeUp;
    bool woken = false;
    std::atomic<bool> stopping = false;
    platform::QueueHost host([&] {
        std::lock_guard lock(mutex);
        woken = true;
        wakeUp.notify_one();
    });
    std::thread hostThread([&] {
        host.attachToThisThread();
        while (!stopping) {
            auto nextBlock = host.runDueBlocks();
            std::unique_lock lock(mutex);
            if (nextBlock)
                wakeUp.wait_until(lock, *nextBlock, [&] { return woken; });
            else
                wakeUp.wait(lock, [&] { return woken; });
            woken = false;
        }
    });

    auto first = host.makeQueue("first");
    auto second = host.makeQueue("second");
    std::vector<std::pair<std::string, std::thread::id>> ran;
    std::promise<std::string> lastOutcome;
    first.async([&] { ran.emplace_back("first", std::this_thread::get_id()); });
    second.async([&] { ran.emplace_back("second", std::this_thread::get_id()); });
    first.asyncAfter(1ms, [&] {
        ran.emplace_back("later", std::this_thread::get_id());
        // The host thread holds every queue it hosts.
        lastOutcome.set_value(syncOutcome(second));
    });
    EXPECT_EQ(lastOutcome.get_future().get(), "refused");
    EXPECT_EQ(syncOutcome(second), "ran");

    stopping = true;
    first.async([] { });
    hostThread.join();
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[0].first, "first");
    EXPECT_EQ(ran[1].first, "second");
    EXPECT_EQ(ran[2].first, "later");
    for (const auto& [label, thread] : ran)
        EXPECT_EQ(thread, ran[0].second) << label;
    EXPECT_NE(ran[0].second, std::this_thread::get_id());
}

// A session may keep its queue after the transport that hosted it is gone.
TEST(SystemScheduler, QueueOutlivingItsHostDropsWhatIsPostedToIt)
{
    std::optional<DispatchQueue> queue;
    std::promise<bool> dropped;
    {
        platform::QueueHost host([] { });
        queue = host.makeQueue("orphan");
        queue->async([] { });
    }
    // Fires when the queue lets go of the block, which never runs.
    auto ran = std::make_shared<bool>(false);
    std::shared_ptr<void> witness(nullptr, [&, ran](void*) { dropped.set_value(*ran); });
    queue->async([ran, witness] { *ran = true; });
    witness.reset();
    EXPECT_FALSE(dropped.get_future().get());
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
