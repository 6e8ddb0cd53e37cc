#include "devstack/server/RequestLog.h"

#include "platform/net/HttpHeaderList.h"

namespace devstack {

std::optional<std::string> RecordedRequest::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        if (platform::equalsIgnoringCase(key, name))
            return value;
    }
    return std::nullopt;
}

std::optional<std::string> RecordedRequest::param(const std::string& name) const
{
    auto found = params.find(name);
    if (found == params.end())
        return std::nullopt;
    return found->second;
}

void RequestLog::record(RecordedRequest request)
{
    std::lock_guard lock(mutex_);
    // Dropping the older half at once keeps recording cheap on average.
    if (requests_.size() == capacity)
        requests_.erase(requests_.begin(), requests_.begin() + capacity / 2);
    requests_.push_back(std::move(request));
    ++recorded_;
}

std::vector<RecordedRequest> RequestLog::all() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::optional<RecordedRequest> RequestLog::last() const
{
    std::lock_guard lock(mutex_);
    if (requests_.empty())
        return std::nullopt;
    return requests_.back();
}

std::size_t RequestLog::count() const
{
    std::lock_guard lock(mutex_);
    return recorded_;
}

std::vector<RecordedRequest> RequestLog::forPath(std::string_view path) const
{
    std::lock_guard lock(mutex_);
    std::vector<RecordedRequest> matching;
    for (const auto& request : requests_) {
        if (request.path == path)
            matching.push_back(request);
    }
    return matching;
}

void RequestLog::clear()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
    recorded_ = 0;
}

} // namespace devstack
