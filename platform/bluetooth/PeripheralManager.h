#pragma once

#include "platform/bluetooth/AdvertisementData.h"
#include "platform/bluetooth/ManagerState.h"
#include "platform/bluetooth/MutableService.h"

namespace platform {

class PeripheralManager;

// Events of a peripheral manager, delivered on the main queue.
class PeripheralManagerDelegate {
public:
    virtual ~PeripheralManagerDelegate() = default;
    virtual void peripheralManagerDidUpdateState(PeripheralManager&) { }
};

// The peripheral role: advertises this device and publishes services. Made
// without a queue, so its events arrive on the main queue; call it from the
// thread that runs the main queue. It reports the state unknown until the
// platform has looked at the radio, then calls the delegate with the real state.
class PeripheralManager {
public:
    virtual ~PeripheralManager() = default;

    virtual ManagerState state() const = 0;
    virtual bool isAdvertising() const = 0;

    virtual void setDelegate(PeripheralManagerDelegate* delegate) = 0;
    virtual PeripheralManagerDelegate* delegate() const = 0;

    // Ignored unless powered on. Replaces what is advertised now.
    virtual void startAdvertising(const AdvertisementData& advertisement) = 0;
    virtual void stopAdvertising() = 0;

    virtual void addService(const MutableService& service) = 0;
    virtual void removeAllServices() = 0;
};

} // namespace platform
