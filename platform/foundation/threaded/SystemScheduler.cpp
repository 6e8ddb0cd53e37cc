#include "platform/foundation/threaded/SystemScheduler.h"

#include "platform/foundation/DelayedTaskQueue.h"
#include "platform/foundation/internal/SystemQueueBacking.h"

#include <algorithm>
#include <condition_variable>
#include <future>
#include <optional>
#include <stdexcept>
#include <vector>

namespace platform {

namespace {

// Static initialisation runs on the thread that loads the program: the main thread.
const std::thread::id kMainThreadId = std::this_thread::get_id();

// The queues whose exclusivity the calling thread holds: serial queues whose
// block it runs and queues it holds for a sync. Keyed by each queue's shared
// tasks, which live as long as any thread still works for that queue.
thread_local std::vector<const DelayedTaskQueue*> heldQueues;

class HoldingQueue {
public:
    explicit HoldingQueue(const DelayedTaskQueue* tasks) { heldQueues.push_back(tasks); }
    ~HoldingQueue() { heldQueues.pop_back(); }
    HoldingQueue(const HoldingQueue&) = delete;
    HoldingQueue& operator=(const HoldingQueue&) = delete;
};

bool holdsQueue(const DelayedTaskQueue* tasks)
{
    return std::find(heldQueues.begin(), heldQueues.end(), tasks) != heldQueues.end();
}

// The tasks of one queue and, for serial and concurrent queues, the threads
// that run them. Threads start with the first task and end with the queue.
class QueueBacking {
public:
    QueueBacking(QueueKind kind)
        : kind_(kind)
        , workerCount_(kind == QueueKind::concurrent ? std::clamp(std::thread::hardware_concurrency(), 2u, 4u) : 1u)
        , tasks_(std::make_shared<DelayedTaskQueue>())
    {
    }

    // A serial queue of a QueueHost, whose thread runs `hostTasks`.
    QueueBacking(std::shared_ptr<DelayedTaskQueue> hostTasks, std::function<void()> wake)
        : kind_(QueueKind::serial)
        , workerCount_(0)
        , tasks_(std::move(hostTasks))
        , wake_(std::move(wake))
    {
    }

    ~QueueBacking()
    {
        // The host's list is shared by its queues and closed by the host.
        if (wake_)
            return;
        // Blocks that have not started never run; running ones finish first.
        tasks_->close();
        for (auto& worker : workers_) {
            // The last owner may be a block running on this very queue: its
            // thread finishes that block on its own share of the tasks.
            if (worker.get_id() == std::this_thread::get_id())
                worker.detach();
            else if (worker.joinable())
                worker.join();
        }
    }

    void post(MonotonicTime deadline, Task task, const Clock& clock)
    {
        tasks_->push(deadline, std::move(task));
        if (wake_)
            wake_();
        else if (kind_ == QueueKind::serial || kind_ == QueueKind::concurrent)
            std::call_once(started_, [&] {
                for (unsigned i = 0; i < workerCount_; ++i)
                    workers_.emplace_back([tasks = tasks_, serial = kind_ == QueueKind::serial, &clock] {
                        std::optional<HoldingQueue> holding;
                        if (serial)
                            holding.emplace(tasks.get());
                        drainTasks(*tasks, clock, nullptr);
                    });
            });
    }

    // Runs the tasks on the calling thread (a run loop).
    void drain(const Clock& clock, const MonotonicTime* until) { drainTasks(*tasks_, clock, until); }

    DelayedTaskQueue& tasks() { return *tasks_; }

    bool isHeldByThisThread() const
    {
        // The main thread drains the main queue, so it always holds it.
        if (kind_ == QueueKind::main && std::this_thread::get_id() == kMainThreadId)
            return true;
        return kind_ != QueueKind::concurrent && holdsQueue(tasks_.get());
    }

private:
    static void drainTasks(DelayedTaskQueue& tasks, const Clock& clock, const MonotonicTime* until)
    {
        while (auto task = tasks.waitForDue(clock, until))
            (*task)();
    }

    const QueueKind kind_;
    const unsigned workerCount_;
    // Shared with the worker threads, so a block that releases the last
    // handle to its own queue can still return to them.
    const std::shared_ptr<DelayedTaskQueue> tasks_;
    const std::function<void()> wake_;
    std::once_flag started_;
    std::vector<std::thread> workers_;
};

QueueBacking& backingOf(const std::shared_ptr<QueueIdentity>& queue)
{
    // Identities are made by the platform with their backing already attached
    // (see attachBacking), so no lock is needed here.
    return *static_cast<QueueBacking*>(queue->backing.get());
}

} // namespace

std::shared_ptr<void> makeSystemQueueBacking(QueueKind kind)
{
    return std::make_shared<QueueBacking>(kind);
}

std::shared_ptr<void> makeHostedQueueBacking(std::shared_ptr<DelayedTaskQueue> tasks, std::function<void()> wake)
{
    return std::make_shared<QueueBacking>(std::move(tasks), std::move(wake));
}

std::optional<MonotonicTime> runDueHostedTasks(DelayedTaskQueue& tasks)
{
    HoldingQueue holding(&tasks);
    // Only what was due when the round began: blocks posted meanwhile wait for
    // the next round, so a block that keeps posting cannot starve the host's
    // own work. The round is timed on the clock the system scheduler posts
    // with; it holds no state, so none is kept (a static one would be destroyed
    // at exit while the host's thread still runs).
    const auto roundStart = SystemClock().monotonicNow();
    while (auto task = tasks.takeDue(roundStart))
        (*task)();
    return tasks.nextDeadline();
}

SystemScheduler::SystemScheduler() = default;

void SystemScheduler::post(const std::shared_ptr<QueueIdentity>& queue, Duration delay, Task task)
{
    backingOf(queue).post(clock_.monotonicNow() + delay, std::move(task), clock_);
}

void SystemScheduler::runSync(const std::shared_ptr<QueueIdentity>& queue, Task task)
{
    auto& backing = backingOf(queue);
    if (backing.isHeldByThisThread())
        throw std::logic_error("sync on " + queue->label + " from a thread that holds it would never return");
    if (queue->kind == QueueKind::concurrent) {
        task();
        return;
    }
    // Like the platform, the block runs on the caller's thread while the queue
    // is held: a placeholder task occupies the queue until the block is done.
    std::promise<void> entered;
    std::promise<void> finished;
    auto finishedFuture = finished.get_future().share();
    post(queue, Duration::zero(), [&entered, finishedFuture] {
        entered.set_value();
        finishedFuture.wait();
    });
    entered.get_future().wait();
    try {
        HoldingQueue holding(&backing.tasks());
        task();
    } catch (...) {
        finished.set_value();
        throw;
    }
    finished.set_value();
}

bool SystemScheduler::isMainThread() const
{
    return std::this_thread::get_id() == kMainThreadId;
}

void SystemScheduler::runLoop(const std::shared_ptr<QueueIdentity>& loop, const MonotonicTime* until)
{
    auto& backing = backingOf(loop);
    backing.tasks().resume();
    backing.drain(clock_, until);
}

void SystemScheduler::stopLoop(const std::shared_ptr<QueueIdentity>& loop)
{
    backingOf(loop).tasks().stop();
}

} // namespace platform
