#include "platform/net/SessionCore.h"

#include <atomic>

namespace platform {

namespace {

std::string nextQueueLabel()
{
    static std::atomic<unsigned> counter { 0 };
    return "platform.net.session." + std::to_string(counter++);
}

} // namespace

SessionCore::SessionCore(HttpSessionConfiguration configuration, std::shared_ptr<RequestInterceptor> interceptor,
    std::shared_ptr<Transport> transport)
    : configuration(std::move(configuration))
    , interceptor(std::move(interceptor))
    , transport(std::move(transport))
    , queue(this->transport->makeSerialQueue(nextQueueLabel()))
{
}

void SessionCore::retain(std::shared_ptr<Request> request)
{
    std::lock_guard lock(mutex_);
    const Request* key = request.get();
    inFlight_.emplace(key, std::move(request));
}

void SessionCore::release(const Request* request)
{
    std::shared_ptr<Request> finished;
    {
        std::lock_guard lock(mutex_);
        auto found = inFlight_.find(request);
        if (found == inFlight_.end())
            return;
        finished = std::move(found->second);
        inFlight_.erase(found);
    }
}

std::size_t SessionCore::requestsInFlight() const
{
    std::lock_guard lock(mutex_);
    return inFlight_.size();
}

} // namespace platform
