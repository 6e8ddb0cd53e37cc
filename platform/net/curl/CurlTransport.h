#pragma once

#include "platform/foundation/QueueHost.h"
#include "platform/net/Transport.h"
#include "platform/net/curl/LoopWakeup.h"

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
// clock, so tests move it in virtual time. The same thread runs the serial
// queues of the sessions on it between transfers, and spins briefly after its
// work before it sleeps.
class CurlTransport final : public Transport {
public:
    CurlTransport();
    // Stops the thread (see stopThread). Never called on its own thread (the
    // shared transport is never destroyed).
    ~CurlTransport() override;

    // Ends the loop after its current round and joins its thread: transfers
    // still in flight end without their completion, and blocks of its queues
    // not yet run are dropped. Later calls do nothing.
    void stopThread();

    void send(HttpRequest request, std::optional<std::filesystem::path> bodyFile, Completion completion) override;
    DispatchQueue makeSerialQueue(std::string label) override;

private:
    struct Transfer;
    void run();
    void startTransfer(std::unique_ptr<Transfer> transfer);
    // Hands the transfer's current request to an easy handle.
    void sendRequest(Transfer& transfer);
    // After an answer: follows it when it is a redirect (or ends the transfer
    // when the redirect is refused) and returns true; false for any other answer.
    bool followRedirect(Transfer& transfer);
    void finishTransfer(Transfer& transfer, std::optional<TransportError> error);
    // Easy handles are reused: a new one per request costs allocations that
    // show in every request's time.
    void* takeEasyHandle();
    void releaseEasyHandle(Transfer& transfer);

    void* multi_ = nullptr;
    LoopWakeup wakeup_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Transfer>> incoming_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<Transfer>> active_;
    static constexpr std::size_t kIdleEasyHandles = 8;
    std::vector<void*> idleEasyHandles_;
    std::unique_ptr<QueueHost> queueHost_;
    std::thread thread_;
};

} // namespace platform
