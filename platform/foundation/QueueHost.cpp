#include "platform/foundation/QueueHost.h"

#include "platform/foundation/DelayedTaskQueue.h"
#include "platform/foundation/threaded/SystemScheduler.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace platform {

struct QueueHost::Shared {
    std::shared_ptr<DelayedTaskQueue> tasks = std::make_shared<DelayedTaskQueue>();
    std::atomic<std::thread::id> thread;

    // Guarded, so that once the host is gone no poster calls into its loop.
    std::mutex mutex;
    std::function<void()> wake;
};

QueueHost::QueueHost(std::function<void()> wake)
    : shared_(std::make_shared<Shared>())
{
    shared_->wake = std::move(wake);
}

QueueHost::~QueueHost()
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->wake = nullptr;
    }
    shared_->tasks->close();
}

void QueueHost::attachToThisThread()
{
    shared_->thread = std::this_thread::get_id();
}

DispatchQueue QueueHost::makeQueue(std::string label) const
{
    // The queues keep the task list, not the host: posting to one after the
    // host is gone drops the block.
    auto wake = [shared = std::weak_ptr<Shared>(shared_)] {
        auto host = shared.lock();
        // The host thread looks for due blocks before it sleeps.
        if (!host || host->thread.load() == std::this_thread::get_id())
            return;
        std::lock_guard lock(host->mutex);
        if (host->wake)
            host->wake();
    };
    return DispatchQueue(std::make_shared<QueueIdentity>(
        QueueIdentity { std::move(label), QueueKind::serial, makeHostedQueueBacking(shared_->tasks, std::move(wake)) }));
}

std::optional<MonotonicTime> QueueHost::runDueBlocks()
{
    return runDueHostedTasks(*shared_->tasks);
}

} // namespace platform
