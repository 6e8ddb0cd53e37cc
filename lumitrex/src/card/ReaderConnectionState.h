#pragma once

#include "platform/bluetooth/Service.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace lumitrex {

// What the characteristic re-discoveries on the concurrent "BLEQueue" read
// while the main queue changes it: whether a reader connection is under way
// and the reader service found last. The blocks hold it by shared pointer, so
// they stay safe after the engine is gone.
class ReaderConnectionState {
public:
    bool connectCheckFlag() const { return connectCheckFlag_.load(); }
    void setConnectCheckFlag(bool value) { connectCheckFlag_.store(value); }

    std::shared_ptr<platform::Service> discoverService() const
    {
        std::lock_guard lock(mutex_);
        return discoverService_;
    }
    void setDiscoverService(std::shared_ptr<platform::Service> service)
    {
        std::lock_guard lock(mutex_);
        discoverService_ = std::move(service);
    }

private:
    std::atomic<bool> connectCheckFlag_ { false };
    mutable std::mutex mutex_;
    std::shared_ptr<platform::Service> discoverService_;
};

} // namespace lumitrex
