#include "platform/net/UrlSession.h"

namespace platform {

UrlSession::DataTask::DataTask(std::shared_ptr<Transport> transport, HttpRequest request, DataTaskCompletion completion)
    : transport_(std::move(transport))
    , request_(std::move(request))
    , completion_(std::move(completion))
{
}

void UrlSession::DataTask::resume()
{
    if (resumed_)
        return;
    resumed_ = true;
    transport_->send(request_, std::nullopt, [completion = std::move(completion_)](Transport::Result result) {
        std::optional<std::string> data;
        if (result.response)
            data = std::move(result.body);
        completion(std::move(data), std::move(result.response), std::move(result.error));
    });
}

UrlSession& UrlSession::shared()
{
    static auto* session = new UrlSession(sharedTransport());
    return *session;
}

UrlSession::UrlSession(std::shared_ptr<Transport> transport)
    : transport_(std::move(transport))
{
}

std::shared_ptr<UrlSession::DataTask> UrlSession::dataTask(HttpRequest request, DataTaskCompletion completion)
{
    return std::shared_ptr<DataTask>(new DataTask(transport_, std::move(request), std::move(completion)));
}

} // namespace platform
