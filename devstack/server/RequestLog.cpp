#include "devstack/server/RequestLog.h"

#include "platform/net/HttpHeaderList.h"

#include <algorithm>

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

RecordedRequest RequestLog::recordOf(const httplib::Request& request)
{
    RecordedRequest recorded;
    recorded.method = request.method;
    recorded.path = request.path;
    if (auto mark = request.target.find('?'); mark != std::string::npos)
        recorded.query = request.target.substr(mark + 1);
    // The query and the headers are already bounded by the server; a form
    // body's parameters are not.
    std::size_t paramBytes = 0;
    for (const auto& [name, value] : request.params) {
        paramBytes += name.size() + value.size();
        if (paramBytes > bodyPrefixLimit)
            break;
        recorded.params.emplace(name, value);
    }
    for (const auto& [name, value] : request.headers)
        recorded.headers.emplace_back(name, value);
    // Copies the prefix only, never the whole body.
    recorded.body = request.body.substr(0, bodyPrefixLimit);
    recorded.bodySize = request.body.size();
    return recorded;
}

void RequestLog::record(RecordedRequest request)
{
    request.bodySize = std::max(request.bodySize, request.body.size());
    if (request.body.size() > bodyPrefixLimit) {
        request.body.resize(bodyPrefixLimit);
        request.body.shrink_to_fit();
    }
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
