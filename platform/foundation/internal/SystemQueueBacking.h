#pragma once

#include "platform/foundation/Scheduler.h"

#include <memory>

namespace platform {

// The system scheduler's state for one queue (its tasks and worker), attached
// to every queue identity when the queue is made, so the scheduler can read it
// without a lock.
std::shared_ptr<void> makeSystemQueueBacking(QueueKind kind);

} // namespace platform
