#pragma once

#include "platform/net/Transport.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// The libcurl transport: one thread drives a multi handle, which keeps
// connections alive and reuses them (at most six per host, as the phone's
// loader does). Servers are always verified, against the system's authorities
// plus the configured extra one. The idle time-out is measured on the platform
// clock, so tests move it in virtual time.
class CurlTransport final : public Transport {
public:
    CurlTransport();
    // Stops the thread; transfers still in flight end without their completion.
    ~CurlTransport() override;

    void send(HttpRequest request, std::optional<std::filesystem::path> bodyFile, Completion completion) override;

private:
    struct Transfer;
    void run();
    void startTransfer(std::unique_ptr<Transfer> transfer);
    // Hands the transfer's current request to a new easy handle.
    void sendRequest(Transfer& transfer);
    // After an answer: follows it when it is a redirect (or ends the transfer
    // when the redirect is refused) and returns true; false for any other answer.
    bool followRedirect(Transfer& transfer);
    void finishTransfer(Transfer& transfer, std::optional<TransportError> error);

    void* multi_ = nullptr;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Transfer>> incoming_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<Transfer>> active_;
    std::thread thread_;
};

} // namespace platform
