#pragma once

#include "platform/bluetooth/BluetoothUUID.h"

namespace platform {

// A service that a peripheral manager publishes from this device.
struct MutableService {
    BluetoothUUID type;
    bool primary = true;

    bool operator==(const MutableService&) const = default;
};

} // namespace platform
