#include "platform/foundation/testing/TestEnvironment.h"

#include "platform/foundation/AppPaths.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/TimeZone.h"
#include "platform/sim/SimulatedPhone.h"

#include <algorithm>
#include <cstdlib>
#include <future>
#include <stdexcept>

namespace platform {

WallClockTime TestEnvironment::defaultStart()
{
    // 2024-05-06 04:45:07 UTC.
    return WallClockTime(std::chrono::seconds(1714970707));
}

TestEnvironment::TestEnvironment(WallClockTime start)
    : clock_(start)
    , testThread_(std::this_thread::get_id())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tolven-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    root_ = pattern;
    dataFolder_ = root_ / "data";
    bundleFolder_ = root_ / "bundle";
    std::filesystem::create_directories(dataFolder_);
    std::filesystem::create_directories(bundleFolder_);
    info_ = { { "CFBundleIdentifier", PlistValue("com.brantwick.tolven.tests") },
        { "CFBundleShortVersionString", PlistValue("1.0.0") } };
    writeInfo();
    setDataRoot(dataFolder_);
    Bundle::setMainBundlePath(bundleFolder_);
    previousTimeZone_ = currentTimeZoneIdentifier();
    setCurrentTimeZoneIdentifier("Asia/Seoul");
    previous_ = installScheduler(this);
    // Tests run on the simulated phone unless they install devices of their own.
    installSimulatedPhone();
}

TestEnvironment::~TestEnvironment()
{
    installScheduler(previous_);
    setCurrentTimeZoneIdentifier(previousTimeZone_);
    std::error_code error;
    std::filesystem::remove_all(root_, error);
}

void TestEnvironment::post(const std::shared_ptr<QueueIdentity>& queue, Duration delay, Task task)
{
    // Notifying under the lock: once the test thread has seen the task, the
    // poster no longer touches the environment, which the test may then destroy.
    std::lock_guard lock(mutex_);
    auto deadline = clock_.monotonicNow() + std::max(delay, Duration::zero());
    entries_.push(Entry { deadline, nextSequence_++, std::move(task), queue });
    posted_.notify_all();
}

void TestEnvironment::runSync(const std::shared_ptr<QueueIdentity>& queue, Task task)
{
    if (isMainThread()) {
        // As on the system scheduler, where such a call would wait for itself.
        if (holds(queue))
            throw std::logic_error("sync on " + queue->label + " from a thread that holds it would never return");
        runHolding(queue, task);
        return;
    }
    // Another thread waits for the test thread to run the block.
    std::promise<void> done;
    auto finished = done.get_future();
    post(queue, Duration::zero(), [&] {
        try {
            task();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    finished.get();
}

bool TestEnvironment::isMainThread() const
{
    return std::this_thread::get_id() == testThread_;
}

void TestEnvironment::runLoop(const std::shared_ptr<QueueIdentity>&, const MonotonicTime* until)
{
    if (until)
        fastForwardBy(std::max(*until - clock_.monotonicNow(), Duration::zero()));
    else
        runUntilIdle();
}

bool TestEnvironment::holds(const std::shared_ptr<QueueIdentity>& queue) const
{
    if (queue->kind == QueueKind::concurrent)
        return false;
    // Outside any block the test thread plays the main thread, which holds the main queue.
    if (queue->kind == QueueKind::main && running_.empty())
        return true;
    return std::any_of(running_.begin(), running_.end(), [&](const auto& running) { return running.lock() == queue; });
}

void TestEnvironment::runHolding(const std::weak_ptr<QueueIdentity>& queue, const Task& task)
{
    running_.push_back(queue);
    try {
        task();
    } catch (...) {
        running_.pop_back();
        throw;
    }
    running_.pop_back();
}

std::optional<TestEnvironment::DueTask> TestEnvironment::takeDueBy(MonotonicTime limit)
{
    std::lock_guard lock(mutex_);
    if (entries_.empty() || entries_.top().deadline > limit)
        return std::nullopt;
    auto deadline = entries_.top().deadline;
    auto& top = const_cast<Entry&>(entries_.top());
    DueTask due { std::move(top.task), std::move(top.queue) };
    entries_.pop();
    auto now = clock_.monotonicNow();
    if (deadline > now)
        clock_.advance(deadline - now);
    return due;
}

void TestEnvironment::runUntilIdle()
{
    while (auto due = takeDueBy(clock_.monotonicNow()))
        runHolding(due->queue, due->task);
}

void TestEnvironment::fastForwardBy(Duration duration)
{
    auto target = clock_.monotonicNow() + duration;
    while (auto due = takeDueBy(target))
        runHolding(due->queue, due->task);
    auto now = clock_.monotonicNow();
    if (target > now)
        clock_.advance(target - now);
}

bool TestEnvironment::runUntil(const std::function<bool()>& done, std::chrono::milliseconds realTimeout)
{
    auto giveUp = std::chrono::steady_clock::now() + realTimeout;
    for (;;) {
        runUntilIdle();
        if (done())
            return true;
        std::unique_lock lock(mutex_);
        bool due = !entries_.empty() && entries_.top().deadline <= clock_.monotonicNow();
        if (!due && !posted_.wait_until(lock, giveUp, [&] { return !entries_.empty() && entries_.top().deadline <= clock_.monotonicNow(); }))
            return done();
    }
}

std::size_t TestEnvironment::pendingTaskCount() const
{
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void TestEnvironment::setInfoValue(const std::string& key, PlistValue value)
{
    info_.insert_or_assign(key, std::move(value));
    writeInfo();
}

void TestEnvironment::removeInfoValue(const std::string& key)
{
    info_.erase(key);
    writeInfo();
}

void TestEnvironment::writeInfo()
{
    writeFileAtomically(bundleFolder_ / "Info.plist", serializePropertyList(PlistValue(info_)));
}

void TestEnvironment::setLocalizedString(const std::string& key, const std::string& translation, const std::string& table)
{
    auto file = bundleFolder_ / (table + ".strings");
    PlistValue::Dictionary strings;
    if (auto stored = readPropertyListFile(file); stored && stored->is<PlistValue::Dictionary>())
        strings = *stored->get<PlistValue::Dictionary>();
    strings.insert_or_assign(key, PlistValue(translation));
    writeFileAtomically(file, serializePropertyList(PlistValue(strings)));
}

} // namespace platform
