#pragma once

#include "platform/bluetooth/BluetoothUUID.h"

#include <cstdint>

namespace platform {

// How close a ranged beacon is. The platform may add values later.
enum class BeaconProximity : int {
    unknown = 0,
    immediate = 1,
    near = 2,
    far = 3,
};

// One beacon of a ranging report.
struct Beacon {
    BluetoothUUID proximityUUID;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    BeaconProximity proximity = BeaconProximity::unknown;
    int rssi = 0;

    bool operator==(const Beacon&) const = default;
};

} // namespace platform
