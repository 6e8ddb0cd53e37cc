#pragma once

#include "platform/net/Request.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace platform {

// A request whose body is streamed into the caller's file. The body goes to a
// temporary file beside the destination and replaces the destination (creating
// missing folders) only once the transfer has finished, so a failed transfer
// leaves an old file as it was. Nothing is written anywhere else.
class DownloadRequest final : public Request {
public:
    DownloadRequest(std::shared_ptr<SessionCore> core, HttpRequest initial, std::optional<HttpClientError> encodingError,
        std::filesystem::path destination)
        : Request(std::move(core), std::move(initial), std::move(encodingError), std::move(destination)) { }

    DownloadRequest& validateStatus();
    DownloadRequest& validateStatus(int first, int last);
    DownloadRequest& curlDescription(std::function<void(const std::string&)> handler);

    void onDownloadResponse(const DispatchQueue& queue, std::function<void(const DownloadResponse&)> completion);
};

} // namespace platform
