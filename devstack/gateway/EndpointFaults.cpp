#include "devstack/gateway/EndpointFaults.h"

namespace devstack {

void EndpointFaults::set(const std::string& path, EndpointFault fault)
{
    std::lock_guard lock(mutex_);
    faults_.insert_or_assign(path, std::move(fault));
}

void EndpointFaults::clear(const std::string& path)
{
    std::lock_guard lock(mutex_);
    faults_.erase(path);
}

void EndpointFaults::clearAll()
{
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::optional<EndpointFault> EndpointFaults::take(const std::string& path)
{
    std::lock_guard lock(mutex_);
    auto found = faults_.find(path);
    if (found == faults_.end())
        return std::nullopt;
    EndpointFault fault = found->second;
    if (found->second.times > 0 && --found->second.times == 0)
        faults_.erase(found);
    return fault;
}

} // namespace devstack
