#pragma once

#include "platform/foundation/ManualClock.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Scheduler.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <queue>
#include <string>
#include <thread>
#include <vector>

namespace platform {

// Runs a test in virtual time on its own thread, in a sandbox of its own.
//
// Every queue, delay and timer runs on the test thread, ordered by deadline and
// then by submission, and only when the test lets time pass. The environment
// also gives the test a fresh data folder, an empty main bundle whose
// Info.plist and string table the test can fill, and the time zone Asia/Seoul.
class TestEnvironment final : public Scheduler {
public:
    // 2024-05-06 13:45:07 in Seoul.
    static WallClockTime defaultStart();

    explicit TestEnvironment(WallClockTime start = defaultStart());
    ~TestEnvironment() override;
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    ManualClock& manualClock() { return clock_; }

    // Runs every task that is due now, including those they post, without moving time.
    void runUntilIdle();

    // Moves time forward by `duration`, running each task when its deadline comes.
    void fastForwardBy(Duration duration);

    // For work that finishes on real threads (network transfers): runs due
    // tasks, and waits for other threads to post more, until `done` holds or
    // `realTimeout` of real time has passed. Returns whether `done` held.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds realTimeout = std::chrono::seconds(20));

    std::size_t pendingTaskCount() const;

    const std::filesystem::path& dataFolder() const { return dataFolder_; }
    const std::filesystem::path& bundleFolder() const { return bundleFolder_; }
    void setInfoValue(const std::string& key, PlistValue value);
    void removeInfoValue(const std::string& key);
    void setLocalizedString(const std::string& key, const std::string& translation, const std::string& table = "Localizable");

    // Scheduler
    Clock& clock() override { return clock_; }
    void post(const std::shared_ptr<QueueIdentity>& queue, Duration delay, Task task) override;
    void runSync(const std::shared_ptr<QueueIdentity>& queue, Task task) override;
    bool isMainThread() const override;
    void runLoop(const std::shared_ptr<QueueIdentity>& loop, const MonotonicTime* until) override;
    void stopLoop(const std::shared_ptr<QueueIdentity>&) override { }

private:
    struct Entry {
        MonotonicTime deadline;
        std::uint64_t sequence;
        Task task;
        std::weak_ptr<QueueIdentity> queue;
        bool operator>(const Entry& other) const
        {
            return deadline != other.deadline ? deadline > other.deadline : sequence > other.sequence;
        }
    };

    struct DueTask {
        Task task;
        std::weak_ptr<QueueIdentity> queue;
    };
    // Pops the earliest task due by `limit`, moving the clock up to its deadline.
    std::optional<DueTask> takeDueBy(MonotonicTime limit);
    void runHolding(const std::weak_ptr<QueueIdentity>& queue, const Task& task);
    // Whether the test thread, as the thread that would run it, holds `queue`.
    bool holds(const std::shared_ptr<QueueIdentity>& queue) const;
    void writeInfo();

    ManualClock clock_;
    const std::thread::id testThread_;
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> entries_;
    std::uint64_t nextSequence_ = 0;
    Scheduler* previous_ = nullptr;
    // The queues whose blocks the test thread is running, outermost first.
    std::vector<std::weak_ptr<QueueIdentity>> running_;

    std::filesystem::path root_;
    std::filesystem::path dataFolder_;
    std::filesystem::path bundleFolder_;
    PlistValue::Dictionary info_;
    std::string previousTimeZone_;
};

} // namespace platform
