#pragma once

#include "platform/bluetooth/CentralManager.h"
#include "platform/bluetooth/sim/SimLifetime.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>

namespace platform {

class SimAir;
class SimDevice;
class SimRemotePeripheral;

// The central manager of a simulated device.
class SimCentralManager final : public CentralManager {
public:
    SimCentralManager(SimDevice& device, std::shared_ptr<SimAir> air);
    ~SimCentralManager() override;

    ManagerState state() const override { return state_; }
    bool isScanning() const override { return scanning_; }
    void setDelegate(CentralManagerDelegate* delegate) override { delegate_ = delegate; }
    CentralManagerDelegate* delegate() const override { return delegate_; }
    void scanForPeripherals(std::optional<std::vector<BluetoothUUID>> serviceUUIDs, ScanOptions options) override;
    void stopScan() override;
    void connect(const std::shared_ptr<Peripheral>& peripheral) override;
    void cancelPeripheralConnection(const std::shared_ptr<Peripheral>& peripheral) override;

    // What the last scan asked for, for tests.
    const std::optional<std::vector<BluetoothUUID>>& scanFilter() const { return scanFilter_; }
    const ScanOptions& scanOptions() const { return scanOptions_; }
    int scanStartCount() const { return scanStarts_; }
    int connectionCancelCount() const { return cancels_; }
    bool isConnectedTo(const SimDevice& peer) const;
    bool isConnectingTo(const SimDevice& peer) const;

    SimDevice& device() const { return device_; }
    SimAir& air() const { return *air_; }

    // For the simulated air and devices.
    void radioStateChanged();
    void hear(SimDevice& advertiser);
    void dropLink(SimDevice& peer, const BluetoothError& error);

private:
    enum class LinkState { connecting, connected };
    struct Link {
        LinkState state;
        std::uint64_t attempt;
    };

    std::shared_ptr<SimRemotePeripheral> peripheralFor(SimDevice& peer);
    SimRemotePeripheral* ownPeripheral(const std::shared_ptr<Peripheral>& peripheral) const;
    void adoptRadioState();
    void scanTick(std::uint64_t generation);
    void completeConnection(SimDevice& peer, std::uint64_t attempt);

    SimDevice& device_;
    std::shared_ptr<SimAir> air_;
    CentralManagerDelegate* delegate_ = nullptr;
    ManagerState state_ = ManagerState::unknown;

    bool scanning_ = false;
    std::uint64_t scanGeneration_ = 0;
    std::optional<std::vector<BluetoothUUID>> scanFilter_;
    ScanOptions scanOptions_;
    std::set<const SimDevice*> heardThisScan_;
    int scanStarts_ = 0;
    int cancels_ = 0;

    std::uint64_t attempts_ = 0;
    std::map<const SimDevice*, Link> links_;
    std::map<const SimDevice*, std::shared_ptr<SimRemotePeripheral>> peripherals_;
    SimLifetime lifetime_;
};

} // namespace platform
