#pragma once

#include "platform/bluetooth/BluetoothError.h"
#include "platform/bluetooth/BluetoothUUID.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

class SimDevice;

struct SimGattCharacteristic {
    BluetoothUUID uuid;
    std::uint32_t properties = 0;
};

struct SimGattService {
    BluetoothUUID uuid;
    bool primary = true;
    std::vector<SimGattCharacteristic> characteristics;
};

// The side of a simulated device that other devices connect to. Called on the
// main queue.
class SimGattServer {
public:
    virtual ~SimGattServer() = default;

    virtual void linkOpened(SimDevice& /*central*/) { }
    virtual void linkClosed(SimDevice& /*central*/) { }
    // A write from `central`; an error is reported to a writer that waits for a response.
    virtual std::optional<BluetoothError> didReceiveWrite(SimDevice& central, const BluetoothUUID& characteristic, const std::vector<std::uint8_t>& value) = 0;
};

} // namespace platform
