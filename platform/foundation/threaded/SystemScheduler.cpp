#include "platform/foundation/threaded/SystemScheduler.h"

#include "platform/foundation/DelayedTaskQueue.h"

#include <algorithm>
#include <condition_variable>
#include <future>
#include <vector>

namespace platform {

namespace {

// Static initialisation runs on the thread that loads the program: the main thread.
const std::thread::id kMainThreadId = std::this_thread::get_id();

// The tasks of one queue and, for serial and concurrent queues, the threads
// that run them. Threads start with the first task and end with the queue.
class QueueBacking {
public:
    QueueBacking(QueueKind kind)
        : workerCount_(kind == QueueKind::concurrent ? std::clamp(std::thread::hardware_concurrency(), 2u, 4u) : 1u)
        , ownsThreads_(kind == QueueKind::serial || kind == QueueKind::concurrent)
    {
    }

    ~QueueBacking()
    {
        tasks_.stop();
        for (auto& worker : workers_) {
            // The last owner may be a block running on this very queue.
            if (worker.get_id() == std::this_thread::get_id())
                worker.detach();
            else if (worker.joinable())
                worker.join();
        }
    }

    void post(MonotonicTime deadline, Task task, const Clock& clock)
    {
        tasks_.push(deadline, std::move(task));
        if (ownsThreads_)
            std::call_once(started_, [&] {
                for (unsigned i = 0; i < workerCount_; ++i)
                    workers_.emplace_back([this, &clock] { drain(clock, nullptr); });
            });
    }

    void drain(const Clock& clock, const MonotonicTime* until)
    {
        while (auto task = tasks_.waitForDue(clock, until))
            (*task)();
    }

    DelayedTaskQueue& tasks() { return tasks_; }

private:
    const unsigned workerCount_;
    const bool ownsThreads_;
    DelayedTaskQueue tasks_;
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

SystemScheduler::SystemScheduler() = default;

void SystemScheduler::post(const std::shared_ptr<QueueIdentity>& queue, Duration delay, Task task)
{
    backingOf(queue).post(clock_.monotonicNow() + delay, std::move(task), clock_);
}

void SystemScheduler::runSync(const std::shared_ptr<QueueIdentity>& queue, Task task)
{
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
