#pragma once

#include "platform/bluetooth/BluetoothError.h"
#include "platform/bluetooth/BluetoothUUID.h"
#include "platform/bluetooth/Service.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class Peripheral;

enum class WriteType : int {
    withResponse = 0,
    withoutResponse = 1,
};

// Answers to a remote peripheral's requests, delivered on the main queue. The
// default implementations ignore the answer.
class PeripheralDelegate {
public:
    virtual ~PeripheralDelegate() = default;
    virtual void peripheralDidDiscoverServices(Peripheral&, const std::optional<BluetoothError>&) { }
    virtual void peripheralDidDiscoverCharacteristics(Peripheral&, const std::shared_ptr<Service>&, const std::optional<BluetoothError>&) { }
    virtual void peripheralDidWriteValue(Peripheral&, const std::shared_ptr<Characteristic>&, const std::optional<BluetoothError>&) { }
    virtual void peripheralDidReadRSSI(Peripheral&, int /*rssi*/, const std::optional<BluetoothError>&) { }
};

// A remote device found by a central manager. Requests answer later through
// the delegate; a request on a peripheral that is not connected is dropped.
// The requests may be made from any thread; everything else belongs to the
// main queue.
class Peripheral : public std::enable_shared_from_this<Peripheral> {
public:
    virtual ~Peripheral() = default;

    // Stable for this device as seen from this phone.
    virtual BluetoothUUID identifier() const = 0;

    virtual void setDelegate(PeripheralDelegate* delegate) = 0;
    virtual PeripheralDelegate* delegate() const = 0;

    // Absent until services were discovered.
    virtual std::optional<std::vector<std::shared_ptr<Service>>> services() const = 0;

    // Nothing as the filter discovers everything.
    virtual void discoverServices(std::optional<std::vector<BluetoothUUID>> serviceUUIDs) = 0;
    virtual void discoverCharacteristics(std::optional<std::vector<BluetoothUUID>> characteristicUUIDs, std::shared_ptr<Service> service) = 0;
    virtual void readRSSI() = 0;
    virtual void writeValue(std::vector<std::uint8_t> value, std::shared_ptr<Characteristic> characteristic, WriteType type) = 0;
};

} // namespace platform
