#include "platform/net/curl/LoopWakeup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform {
namespace {

using namespace std::chrono_literals;

TEST(LoopWakeupTest, WakesOnlyASleepingLoopAndEndsASpinEarly)
{
    int wakes = 0;
    LoopWakeup wakeup([&] { ++wakes; });

    auto epoch = wakeup.epoch();
    EXPECT_FALSE(wakeup.spinFor(epoch, 1ms));
    // An awake loop looks again before it sleeps: no wake is needed.
    wakeup.notify();
    EXPECT_EQ(wakes, 0);
    // Work notified since the epoch ends the spin at once, however long its
    // budget, and keeps the loop from sleeping.
    EXPECT_TRUE(wakeup.spinFor(epoch, 1h));
    EXPECT_FALSE(wakeup.beginSleep(epoch));

    epoch = wakeup.epoch();
    ASSERT_TRUE(wakeup.beginSleep(epoch));
    wakeup.notify();
    EXPECT_EQ(wakes, 1);
    wakeup.endSleep();
    wakeup.notify();
    EXPECT_EQ(wakes, 1);
}

// A loop like the transport's, sleeping as curl_multi_poll does: a wake that
// comes just after it woke is kept and ends its next sleep at once. Like a
// caller waiting for each answer, the poster queues one item at a time and
// waits until the loop has taken it, so a lost wake-up leaves that item
// waiting.
TEST(LoopWakeupTest, NoNotificationIsLostBetweenWorkingSpinningAndSleeping)
{
    constexpr int kItems = 5000;
    std::mutex mutex;
    std::condition_variable woken;
    std::condition_variable taken;
    bool wakePending = false;
    int queued = 0;
    int done = 0;
    LoopWakeup wakeup([&] {
        {
            std::lock_guard lock(mutex);
            wakePending = true;
        }
        woken.notify_one();
    });

    std::thread loop([&] {
        for (int round = 0;; ++round) {
            auto epoch = wakeup.epoch();
            {
                std::lock_guard lock(mutex);
                if (queued > done) {
                    done = queued;
                    taken.notify_one();
                }
                if (done == kItems)
                    return;
            }
            // No spin, a short one and a longer one in turn, so that
            // notifications meet the loop in each of its states.
            if (wakeup.spinFor(epoch, std::chrono::microseconds(round % 3 * 20)) || !wakeup.beginSleep(epoch))
                continue;
            {
                std::unique_lock lock(mutex);
                woken.wait(lock, [&] { return wakePending; });
                wakePending = false;
            }
            wakeup.endSleep();
        }
    });

    int lost = 0;
    for (int item = 1; item <= kItems; ++item) {
        {
            std::lock_guard lock(mutex);
            queued = item;
        }
        wakeup.notify();
        std::unique_lock lock(mutex);
        if (!taken.wait_for(lock, 10s, [&] { return done == item; })) {
            ++lost;
            wakePending = true; // lets the loop go on to the end
            woken.notify_one();
            taken.wait(lock, [&] { return done == item; });
        }
    }
    loop.join();
    EXPECT_EQ(lost, 0);
}

} // namespace
} // namespace platform
