#pragma once

#include "platform/foundation/DispatchQueue.h"

#include <memory>

namespace platform {

// Posts work for a simulated object to the main queue and drops it if the
// object is gone by then. Posting is safe from any thread; the object must be
// destroyed on the main queue.
class SimLifetime {
public:
    void post(Duration delay, Task task) const
    {
        DispatchQueue::main().asyncAfter(delay, [alive = std::weak_ptr<void>(token_), task = std::move(task)] {
            if (!alive.expired())
                task();
        });
    }

    std::weak_ptr<void> token() const { return token_; }

private:
    std::shared_ptr<void> token_ = std::make_shared<char>();
};

} // namespace platform
