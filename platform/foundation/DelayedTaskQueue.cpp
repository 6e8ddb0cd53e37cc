#include "platform/foundation/DelayedTaskQueue.h"

namespace platform {

void DelayedTaskQueue::push(MonotonicTime deadline, Task task)
{
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return; // `task` dies outside the lock
        entries_.push(Entry { deadline, nextSequence_++, std::move(task) });
    }
    changed_.notify_all();
}

std::optional<Task> DelayedTaskQueue::waitForDue(const Clock& clock, const MonotonicTime* until)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stopped_)
            return std::nullopt;
        auto now = clock.monotonicNow();
        if (!entries_.empty() && entries_.top().deadline <= now)
            return popEarliest();
        if (until && *until <= now)
            return std::nullopt;
        std::optional<MonotonicTime> wakeAt;
        if (!entries_.empty())
            wakeAt = entries_.top().deadline;
        if (until && (!wakeAt || *until < *wakeAt))
            wakeAt = *until;
        if (wakeAt)
            changed_.wait_until(lock, *wakeAt);
        else
            changed_.wait(lock);
    }
}

std::optional<Task> DelayedTaskQueue::takeDue(MonotonicTime limit)
{
    std::lock_guard lock(mutex_);
    if (stopped_ || entries_.empty() || entries_.top().deadline > limit)
        return std::nullopt;
    return popEarliest();
}

Task DelayedTaskQueue::popEarliest()
{
    // priority_queue::top() is const; the entry is popped right after.
    Task task = std::move(const_cast<Entry&>(entries_.top()).task);
    entries_.pop();
    return task;
}

std::optional<MonotonicTime> DelayedTaskQueue::nextDeadline()
{
    std::lock_guard lock(mutex_);
    if (stopped_ || entries_.empty())
        return std::nullopt;
    return entries_.top().deadline;
}

void DelayedTaskQueue::stop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

void DelayedTaskQueue::close()
{
    decltype(entries_) discarded;
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        closed_ = true;
        discarded.swap(entries_);
    }
    changed_.notify_all();
    // The tasks die here, outside the lock: what they hold may post to this queue.
}

void DelayedTaskQueue::resume()
{
    std::lock_guard lock(mutex_);
    stopped_ = false;
}

} // namespace platform
