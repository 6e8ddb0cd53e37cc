#include "platform/bluetooth/BluetoothRadio.h"

#include "platform/foundation/DispatchQueue.h"

#include <atomic>
#include <functional>

namespace platform {

namespace {

// Runs `report` later on the main queue unless the manager that holds `alive`
// is gone by then.
void reportLater(const std::shared_ptr<void>& alive, std::function<void()> report)
{
    DispatchQueue::main().async([alive = std::weak_ptr<void>(alive), report = std::move(report)] {
        if (!alive.expired())
            report();
    });
}

// The managers of a device without Bluetooth: they report `unsupported` once,
// later on the main queue as the platform does, and do nothing else. Like
// every manager they are made and destroyed on the main queue.
class UnsupportedCentralManager final : public CentralManager {
public:
    UnsupportedCentralManager()
    {
        reportLater(alive_, [this] {
            state_ = ManagerState::unsupported;
            if (delegate_)
                delegate_->centralManagerDidUpdateState(*this);
        });
    }

    ManagerState state() const override { return state_; }
    bool isScanning() const override { return false; }
    void setDelegate(CentralManagerDelegate* delegate) override { delegate_ = delegate; }
    CentralManagerDelegate* delegate() const override { return delegate_; }
    void scanForPeripherals(std::optional<std::vector<BluetoothUUID>>, ScanOptions) override { }
    void stopScan() override { }
    void connect(const std::shared_ptr<Peripheral>&) override { }
    void cancelPeripheralConnection(const std::shared_ptr<Peripheral>&) override { }

private:
    ManagerState state_ = ManagerState::unknown;
    CentralManagerDelegate* delegate_ = nullptr;
    std::shared_ptr<void> alive_ = std::make_shared<char>();
};

class UnsupportedPeripheralManager final : public PeripheralManager {
public:
    UnsupportedPeripheralManager()
    {
        reportLater(alive_, [this] {
            state_ = ManagerState::unsupported;
            if (delegate_)
                delegate_->peripheralManagerDidUpdateState(*this);
        });
    }

    ManagerState state() const override { return state_; }
    bool isAdvertising() const override { return false; }
    void setDelegate(PeripheralManagerDelegate* delegate) override { delegate_ = delegate; }
    PeripheralManagerDelegate* delegate() const override { return delegate_; }
    void startAdvertising(const AdvertisementData&) override { }
    void stopAdvertising() override { }
    void addService(const MutableService&) override { }
    void removeAllServices() override { }

private:
    ManagerState state_ = ManagerState::unknown;
    PeripheralManagerDelegate* delegate_ = nullptr;
    std::shared_ptr<void> alive_ = std::make_shared<char>();
};

// Linux drives no Bluetooth hardware: without an installed radio (the
// simulated phone's, or a test's) every manager reports `unsupported`.
class NoRadio final : public BluetoothRadio {
public:
    std::unique_ptr<CentralManager> makeCentralManager() override { return std::make_unique<UnsupportedCentralManager>(); }
    std::unique_ptr<PeripheralManager> makePeripheralManager() override { return std::make_unique<UnsupportedPeripheralManager>(); }
};

NoRadio noRadio;
std::atomic<BluetoothRadio*> installedRadio { nullptr };

} // namespace

BluetoothRadio& BluetoothRadio::current()
{
    if (auto* radio = installedRadio.load())
        return *radio;
    return noRadio;
}

BluetoothRadio* BluetoothRadio::install(BluetoothRadio* radio)
{
    return installedRadio.exchange(radio);
}

} // namespace platform
