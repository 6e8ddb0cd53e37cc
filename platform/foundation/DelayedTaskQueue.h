#pragma once

#include "platform/foundation/Scheduler.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <queue>
#include <vector>

namespace platform {

// Tasks ordered by deadline, then by the order they were pushed. Any thread
// may push; consumers block until a task is due.
class DelayedTaskQueue {
public:
    void push(MonotonicTime deadline, Task task);

    // Blocks until a task is due and returns it. Returns nothing once stopped,
    // or when `until` passes first.
    std::optional<Task> waitForDue(const Clock& clock, const MonotonicTime* until);

    // Without waiting: the earliest task due by `limit`, unless stopped.
    std::optional<Task> takeDue(MonotonicTime limit);
    // The deadline of the earliest task, unless there is none or the queue is stopped.
    std::optional<MonotonicTime> nextDeadline();

    void stop();
    // Lets waitForDue() block again after a stop().
    void resume();
    // Stops for good and destroys the tasks that have not run, and those pushed later.
    void close();

private:
    struct Entry {
        MonotonicTime deadline;
        std::uint64_t sequence;
        Task task;
        bool operator>(const Entry& other) const
        {
            return deadline != other.deadline ? deadline > other.deadline : sequence > other.sequence;
        }
    };

    // Called with `mutex_` held and at least one entry.
    Task popEarliest();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> entries_;
    std::uint64_t nextSequence_ = 0;
    bool stopped_ = false;
    bool closed_ = false;
};

} // namespace platform
