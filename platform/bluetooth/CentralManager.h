#pragma once

#include "platform/bluetooth/AdvertisementData.h"
#include "platform/bluetooth/BluetoothError.h"
#include "platform/bluetooth/BluetoothUUID.h"
#include "platform/bluetooth/ManagerState.h"
#include "platform/bluetooth/Peripheral.h"

#include <memory>
#include <optional>
#include <vector>

namespace platform {

class CentralManager;

struct ScanOptions {
    // Delivers every advertisement of a peripheral, not only its first one.
    bool allowDuplicates = false;
    // Asks the system to prompt the user when Bluetooth is off.
    bool showPowerAlert = false;
};

// Events of a central manager, delivered on the main queue. The default
// implementations ignore the event.
class CentralManagerDelegate {
public:
    virtual ~CentralManagerDelegate() = default;
    virtual void centralManagerDidUpdateState(CentralManager&) { }
    virtual void centralManagerDidDiscover(CentralManager&, const std::shared_ptr<Peripheral>&, const AdvertisementData&, int /*rssi*/) { }
    virtual void centralManagerDidConnect(CentralManager&, const std::shared_ptr<Peripheral>&) { }
    virtual void centralManagerDidFailToConnect(CentralManager&, const std::shared_ptr<Peripheral>&, const std::optional<BluetoothError>&) { }
    virtual void centralManagerDidDisconnect(CentralManager&, const std::shared_ptr<Peripheral>&, const std::optional<BluetoothError>&) { }
};

// The central role: scans for peripherals and connects to them. Made without
// a queue, so every delegate event arrives on the main queue; call it from the
// main queue. It reports the state unknown until the platform has looked at
// the radio, then calls the delegate with the real state.
class CentralManager {
public:
    // The value the platform reports when a reading is not available.
    static constexpr int kRSSIUnavailable = 127;

    virtual ~CentralManager() = default;

    virtual ManagerState state() const = 0;
    virtual bool isScanning() const = 0;

    virtual void setDelegate(CentralManagerDelegate* delegate) = 0;
    virtual CentralManagerDelegate* delegate() const = 0;

    // Nothing as the filter finds every peripheral. A second call restarts the scan.
    virtual void scanForPeripherals(std::optional<std::vector<BluetoothUUID>> serviceUUIDs, ScanOptions options) = 0;
    virtual void stopScan() = 0;

    // Connection attempts do not time out; cancel them to give up.
    virtual void connect(const std::shared_ptr<Peripheral>& peripheral) = 0;
    virtual void cancelPeripheralConnection(const std::shared_ptr<Peripheral>& peripheral) = 0;
};

} // namespace platform
