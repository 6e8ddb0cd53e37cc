#pragma once

#include "platform/bluetooth/BluetoothUUID.h"

#include <cstdint>

namespace platform {
class SimDevice;
}

namespace devstack {

// The beacon beside a site's doors that wakes cards in background mode.
class ReaderBeacon {
public:
    static const platform::BluetoothUUID kProximityUUID;
    static constexpr std::uint16_t kMajor = 1;
    static constexpr std::uint16_t kMinor = 2;

    explicit ReaderBeacon(platform::SimDevice& device);
    ~ReaderBeacon();

    void start();
    void stop();

private:
    platform::SimDevice& device_;
};

} // namespace devstack
