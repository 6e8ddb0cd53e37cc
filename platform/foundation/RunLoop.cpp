#include "platform/foundation/RunLoop.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/internal/SystemQueueBacking.h"

namespace platform {

RunLoop::RunLoop(std::shared_ptr<QueueIdentity> identity)
    : identity_(std::move(identity))
{
}

RunLoop& RunLoop::main()
{
    // The main run loop and the main queue are one queue of work.
    static auto* instance = new RunLoop(DispatchQueue::main().identity_);
    return *instance;
}

RunLoop& RunLoop::current()
{
    if (scheduler().isMainThread())
        return main();
    thread_local RunLoop threadLoop(std::make_shared<QueueIdentity>(
        QueueIdentity { "thread run loop", QueueKind::threadRunLoop, makeSystemQueueBacking(QueueKind::threadRunLoop) }));
    return threadLoop;
}

void RunLoop::run()
{
    scheduler().runLoop(identity_, nullptr);
}

void RunLoop::runFor(Duration duration)
{
    auto until = clock().monotonicNow() + duration;
    scheduler().runLoop(identity_, &until);
}

void RunLoop::stop()
{
    scheduler().stopLoop(identity_);
}

} // namespace platform
