#pragma once

#include "platform/bluetooth/BluetoothUUID.h"

#include <cstdint>

namespace platform {

// Property bits of a characteristic, as the platform numbers them.
enum CharacteristicProperty : std::uint32_t {
    characteristicPropertyRead = 0x02,
    characteristicPropertyWriteWithoutResponse = 0x04,
    characteristicPropertyWrite = 0x08,
    characteristicPropertyNotify = 0x10,
};

// A characteristic of a remote peripheral's service, as discovered.
class Characteristic {
public:
    Characteristic(BluetoothUUID uuid, std::uint32_t properties)
        : uuid_(uuid)
        , properties_(properties)
    {
    }

    const BluetoothUUID& uuid() const { return uuid_; }
    std::uint32_t properties() const { return properties_; }

private:
    const BluetoothUUID uuid_;
    const std::uint32_t properties_;
};

} // namespace platform
