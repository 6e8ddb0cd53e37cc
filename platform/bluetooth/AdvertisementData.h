#pragma once

#include "platform/bluetooth/BluetoothUUID.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

// What a peripheral puts on the air: its local name and its service identifiers.
struct AdvertisementData {
    std::optional<std::string> localName;
    std::vector<BluetoothUUID> serviceUUIDs;

    bool operator==(const AdvertisementData&) const = default;
};

} // namespace platform
