#include "platform/foundation/DispatchQueue.h"

#include "platform/foundation/internal/SystemQueueBacking.h"

namespace platform {

namespace {

std::shared_ptr<QueueIdentity> makeIdentity(std::string label, QueueKind kind)
{
    return std::make_shared<QueueIdentity>(QueueIdentity { std::move(label), kind, makeSystemQueueBacking(kind) });
}

} // namespace

DispatchQueue& DispatchQueue::main()
{
    static auto* instance = new DispatchQueue(makeIdentity("com.apple.main-thread", QueueKind::main));
    return *instance;
}

DispatchQueue::DispatchQueue(std::string label, Attributes attributes)
    : identity_(makeIdentity(std::move(label), attributes == Attributes::serial ? QueueKind::serial : QueueKind::concurrent))
{
}

DispatchQueue::DispatchQueue(std::shared_ptr<QueueIdentity> identity)
    : identity_(std::move(identity))
{
}

void DispatchQueue::async(Task block) const
{
    scheduler().post(identity_, Duration::zero(), std::move(block));
}

void DispatchQueue::asyncAfter(Duration delay, Task block) const
{
    scheduler().post(identity_, delay, std::move(block));
}

void DispatchQueue::sync(Task block) const
{
    scheduler().runSync(identity_, std::move(block));
}

} // namespace platform
