#pragma once

#include "platform/bluetooth/CentralManager.h"
#include "platform/bluetooth/PeripheralManager.h"

#include <memory>

namespace platform {

// Makes this device's Bluetooth managers. Linux drives no Bluetooth hardware:
// unless a radio is installed (the simulated phone's, or a test's), every
// manager reports `unsupported`.
class BluetoothRadio {
public:
    virtual ~BluetoothRadio() = default;

    virtual std::unique_ptr<CentralManager> makeCentralManager() = 0;
    virtual std::unique_ptr<PeripheralManager> makePeripheralManager() = 0;

    static BluetoothRadio& current();
    // Installs `radio` (not owned; nullptr restores the default) and returns
    // the one it replaced. Managers made before keep their radio.
    static BluetoothRadio* install(BluetoothRadio* radio);
};

} // namespace platform
