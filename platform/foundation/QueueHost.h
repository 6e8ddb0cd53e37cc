#pragma once

#include "platform/foundation/DispatchQueue.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class DelayedTaskQueue;

// Lends a thread that runs an event loop of its own (the network transport's)
// to serial queues: their blocks run on that thread, between its other work,
// so handing work to them wakes no other thread. Like every queue's, their
// blocks run on the test thread under a test scheduler.
class QueueHost {
public:
    // `wake` is called from other threads when a block is posted; the host
    // thread should then call runDueBlocks() soon.
    explicit QueueHost(std::function<void()> wake);
    // Blocks not yet run, and those posted later, are dropped.
    ~QueueHost();
    QueueHost(const QueueHost&) = delete;
    QueueHost& operator=(const QueueHost&) = delete;

    // A serial queue run by this host. All queues of one host share its
    // thread, so none of their blocks overlap. Unlike other queues, releasing
    // one leaves its blocks to run: they belong to the host.
    DispatchQueue makeQueue(std::string label) const;

    // Claims the calling thread as the host thread; call it first thing there.
    void attachToThisThread();

    // On the host thread: runs every block that is due and returns when the
    // next one will be, if one waits.
    std::optional<MonotonicTime> runDueBlocks();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace platform
