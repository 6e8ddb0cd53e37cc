#include "platform/net/DownloadRequest.h"

namespace platform {

DownloadRequest& DownloadRequest::validateStatus()
{
    addValidation(StatusValidation {});
    return *this;
}

DownloadRequest& DownloadRequest::validateStatus(int first, int last)
{
    addValidation(StatusValidation { first, last, false });
    return *this;
}

DownloadRequest& DownloadRequest::curlDescription(std::function<void(const std::string&)> handler)
{
    setCurlHandler(std::move(handler));
    return *this;
}

void DownloadRequest::onDownloadResponse(const DispatchQueue& queue, std::function<void(const DownloadResponse&)> completion)
{
    start(queue, nullptr, [destination = destination(), completion = std::move(completion)](RawResponse raw) {
        std::optional<std::filesystem::path> file;
        if (!raw.error)
            file = destination;
        completion(DownloadResponse { std::move(raw.request), std::move(raw.response), std::move(file), std::move(raw.error) });
    });
}

} // namespace platform
