#pragma once

#include "platform/bluetooth/PeripheralManager.h"
#include "platform/bluetooth/sim/SimLifetime.h"

#include <memory>

namespace platform {

class SimAir;
class SimDevice;

// The peripheral manager of a simulated device: advertises through the device
// and publishes its services there.
class SimPeripheralManager final : public PeripheralManager {
public:
    SimPeripheralManager(SimDevice& device, std::shared_ptr<SimAir> air);
    ~SimPeripheralManager() override;

    ManagerState state() const override { return state_; }
    bool isAdvertising() const override { return advertising_; }
    void setDelegate(PeripheralManagerDelegate* delegate) override { delegate_ = delegate; }
    PeripheralManagerDelegate* delegate() const override { return delegate_; }
    void startAdvertising(const AdvertisementData& advertisement) override;
    void stopAdvertising() override;
    void addService(const MutableService& service) override;
    void removeAllServices() override;

    // For the simulated device.
    void radioStateChanged();

private:
    void adoptRadioState();

    SimDevice& device_;
    std::shared_ptr<SimAir> air_;
    PeripheralManagerDelegate* delegate_ = nullptr;
    ManagerState state_ = ManagerState::unknown;
    bool advertising_ = false;
    SimLifetime lifetime_;
};

} // namespace platform
