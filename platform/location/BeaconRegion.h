#pragma once

#include "platform/bluetooth/BluetoothUUID.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The beacons a location manager watches for: every beacon with this
// proximity UUID and, when given, this major and minor value. Regions are
// told apart by their identifier.
struct BeaconRegion {
    BluetoothUUID proximityUUID;
    std::optional<std::uint16_t> major;
    std::optional<std::uint16_t> minor;
    std::string identifier;

    bool notifyOnEntry = true;
    bool notifyOnExit = true;
    bool notifyEntryStateOnDisplay = false;

    bool operator==(const BeaconRegion&) const = default;
};

// Whether the device is inside a region.
enum class RegionState : int {
    unknown = 0,
    inside = 1,
    outside = 2,
};

} // namespace platform
