#include "platform/foundation/Scheduler.h"

#include "platform/foundation/threaded/SystemScheduler.h"

#include <atomic>

namespace platform {

namespace {

Scheduler& systemScheduler()
{
    // Never destroyed: queue threads may still read its clock while the process exits.
    static auto* instance = new SystemScheduler;
    return *instance;
}

std::atomic<Scheduler*> installed { nullptr };

} // namespace

Scheduler& scheduler()
{
    auto* current = installed.load(std::memory_order_acquire);
    return current ? *current : systemScheduler();
}

Scheduler* installScheduler(Scheduler* replacement)
{
    return installed.exchange(replacement, std::memory_order_acq_rel);
}

Clock& clock()
{
    return scheduler().clock();
}

} // namespace platform
