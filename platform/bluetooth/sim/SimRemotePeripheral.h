#pragma once

#include "platform/bluetooth/Peripheral.h"

#include <map>
#include <memory>
#include <utility>

namespace platform {

class SimAir;
class SimCentralManager;
class SimDevice;

// Another device as a simulated central sees it. Requests may come from any
// thread; each is answered on the main queue after the air's request delay,
// and dropped when the link is down by then.
class SimRemotePeripheral final : public Peripheral {
public:
    SimRemotePeripheral(SimCentralManager& central, std::weak_ptr<void> centralAlive, SimDevice& target, std::shared_ptr<SimAir> air);

    BluetoothUUID identifier() const override;
    void setDelegate(PeripheralDelegate* delegate) override { delegate_ = delegate; }
    PeripheralDelegate* delegate() const override { return delegate_; }
    std::optional<std::vector<std::shared_ptr<Service>>> services() const override { return services_; }
    void discoverServices(std::optional<std::vector<BluetoothUUID>> serviceUUIDs) override;
    void discoverCharacteristics(std::optional<std::vector<BluetoothUUID>> characteristicUUIDs, std::shared_ptr<Service> service) override;
    void readRSSI() override;
    void writeValue(std::vector<std::uint8_t> value, std::shared_ptr<Characteristic> characteristic, WriteType type) override;

    SimDevice& target() const { return target_; }
    const SimCentralManager* central() const { return &central_; }

private:
    template<typename Answer>
    void answerLater(Answer answer);
    bool linkIsUp() const;
    std::shared_ptr<Service> serviceObject(const BluetoothUUID& uuid, bool primary);
    std::shared_ptr<Characteristic> characteristicObject(const BluetoothUUID& service, const BluetoothUUID& uuid, std::uint32_t properties);

    SimCentralManager& central_;
    const std::weak_ptr<void> centralAlive_;
    SimDevice& target_;
    const std::shared_ptr<SimAir> air_;
    PeripheralDelegate* delegate_ = nullptr;
    std::optional<std::vector<std::shared_ptr<Service>>> services_;
    std::map<BluetoothUUID, std::shared_ptr<Service>> serviceObjects_;
    std::map<std::pair<BluetoothUUID, BluetoothUUID>, std::shared_ptr<Characteristic>> characteristicObjects_;
};

} // namespace platform
