#include "platform/bluetooth/sim/SimCentralManager.h"

#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/bluetooth/sim/SimRemotePeripheral.h"

#include <algorithm>

namespace platform {

SimCentralManager::SimCentralManager(SimDevice& device, std::shared_ptr<SimAir> air)
    : device_(device)
    , air_(std::move(air))
{
    device_.attach(this);
    radioStateChanged();
}

SimCentralManager::~SimCentralManager()
{
    for (auto& [peer, link] : links_)
        if (link.state == LinkState::connected && peer->gattServer())
            peer->gattServer()->linkClosed(device_);
    device_.detach(this);
}

void SimCentralManager::radioStateChanged()
{
    lifetime_.post(Duration::zero(), [this] { adoptRadioState(); });
}

void SimCentralManager::adoptRadioState()
{
    auto state = device_.bluetoothState();
    if (state == state_)
        return;
    state_ = state;
    if (state != ManagerState::poweredOn) {
        scanning_ = false;
        std::vector<SimDevice*> peers;
        for (auto& [peer, link] : links_)
            peers.push_back(const_cast<SimDevice*>(peer));
        for (auto* peer : peers)
            dropLink(*peer, BluetoothError { 7, "The specified device has disconnected from us." });
    }
    if (delegate_)
        delegate_->centralManagerDidUpdateState(*this);
}

void SimCentralManager::scanForPeripherals(std::optional<std::vector<BluetoothUUID>> serviceUUIDs, ScanOptions options)
{
    if (state_ != ManagerState::poweredOn)
        return;
    scanning_ = true;
    scanFilter_ = std::move(serviceUUIDs);
    scanOptions_ = options;
    heardThisScan_.clear();
    ++scanStarts_;
    auto generation = ++scanGeneration_;
    lifetime_.post(Duration::zero(), [this, generation] { scanTick(generation); });
}

void SimCentralManager::stopScan()
{
    scanning_ = false;
    ++scanGeneration_;
}

void SimCentralManager::scanTick(std::uint64_t generation)
{
    if (!scanning_ || generation != scanGeneration_)
        return;
    for (auto& other : air_->devices())
        hear(*other);
    // Without duplicates a scan hears each advertiser once, so nothing repeats.
    if (scanOptions_.allowDuplicates)
        lifetime_.post(air_->timing().advertisingInterval, [this, generation] { scanTick(generation); });
}

void SimCentralManager::hear(SimDevice& advertiser)
{
    if (!scanning_ || &advertiser == &device_ || !advertiser.advertisement())
        return;
    auto signal = air_->signalStrength(device_, advertiser);
    if (!signal)
        return;
    const auto& advertisement = *advertiser.advertisement();
    if (scanFilter_) {
        bool matches = std::any_of(scanFilter_->begin(), scanFilter_->end(), [&](const BluetoothUUID& wanted) {
            return std::find(advertisement.serviceUUIDs.begin(), advertisement.serviceUUIDs.end(), wanted) != advertisement.serviceUUIDs.end();
        });
        if (!matches)
            return;
    }
    if (!scanOptions_.allowDuplicates && !heardThisScan_.insert(&advertiser).second)
        return;
    auto generation = scanGeneration_;
    lifetime_.post(Duration::zero(), [this, generation, &advertiser, advertisement, rssi = *signal] {
        if (!scanning_ || generation != scanGeneration_)
            return;
        auto peripheral = peripheralFor(advertiser);
        if (delegate_)
            delegate_->centralManagerDidDiscover(*this, peripheral, advertisement, rssi);
    });
}

std::shared_ptr<SimRemotePeripheral> SimCentralManager::peripheralFor(SimDevice& peer)
{
    auto& slot = peripherals_[&peer];
    if (!slot)
        slot = std::make_shared<SimRemotePeripheral>(*this, lifetime_.token(), peer, air_);
    return slot;
}

SimRemotePeripheral* SimCentralManager::ownPeripheral(const std::shared_ptr<Peripheral>& peripheral) const
{
    auto* remote = dynamic_cast<SimRemotePeripheral*>(peripheral.get());
    return remote && remote->central() == this ? remote : nullptr;
}

bool SimCentralManager::isConnectedTo(const SimDevice& peer) const
{
    auto found = links_.find(&peer);
    return found != links_.end() && found->second.state == LinkState::connected;
}

bool SimCentralManager::isConnectingTo(const SimDevice& peer) const
{
    auto found = links_.find(&peer);
    return found != links_.end() && found->second.state == LinkState::connecting;
}

void SimCentralManager::connect(const std::shared_ptr<Peripheral>& peripheral)
{
    auto* remote = ownPeripheral(peripheral);
    if (!remote || state_ != ManagerState::poweredOn || links_.contains(&remote->target()))
        return;
    auto& peer = remote->target();
    auto attempt = ++attempts_;
    links_[&peer] = Link { LinkState::connecting, attempt };
    lifetime_.post(air_->timing().connectionDelay, [this, &peer, attempt] { completeConnection(peer, attempt); });
}

void SimCentralManager::completeConnection(SimDevice& peer, std::uint64_t attempt)
{
    auto found = links_.find(&peer);
    if (found == links_.end() || found->second.attempt != attempt || found->second.state != LinkState::connecting)
        return;
    auto peripheral = peripheralFor(peer);
    bool reachable = peer.bluetoothState() == ManagerState::poweredOn && peer.gattServer() && air_->signalStrength(device_, peer);
    if (!reachable || peer.takeConnectionFailure()) {
        links_.erase(found);
        if (delegate_)
            delegate_->centralManagerDidFailToConnect(*this, peripheral, BluetoothError { 14, "Peer removed pairing information" });
        return;
    }
    found->second.state = LinkState::connected;
    peer.gattServer()->linkOpened(device_);
    if (delegate_)
        delegate_->centralManagerDidConnect(*this, peripheral);
}

void SimCentralManager::cancelPeripheralConnection(const std::shared_ptr<Peripheral>& peripheral)
{
    ++cancels_;
    auto* remote = ownPeripheral(peripheral);
    if (!remote)
        return;
    auto found = links_.find(&remote->target());
    if (found == links_.end())
        return;
    auto& peer = remote->target();
    bool wasConnected = found->second.state == LinkState::connected;
    links_.erase(found);
    if (wasConnected && peer.gattServer())
        peer.gattServer()->linkClosed(device_);
    lifetime_.post(Duration::zero(), [this, &peer] {
        if (delegate_)
            delegate_->centralManagerDidDisconnect(*this, peripheralFor(peer), std::nullopt);
    });
}

void SimCentralManager::dropLink(SimDevice& peer, const BluetoothError& error)
{
    auto found = links_.find(&peer);
    if (found == links_.end() || found->second.state != LinkState::connected)
        return;
    links_.erase(found);
    if (peer.gattServer())
        peer.gattServer()->linkClosed(device_);
    lifetime_.post(Duration::zero(), [this, &peer, error] {
        if (delegate_)
            delegate_->centralManagerDidDisconnect(*this, peripheralFor(peer), error);
    });
}

} // namespace platform
