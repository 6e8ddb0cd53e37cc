#include "platform/bluetooth/sim/SimDevice.h"

#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimCentralManager.h"
#include "platform/bluetooth/sim/SimPeripheralManager.h"
#include "platform/location/sim/SimLocationManager.h"

#include <algorithm>

namespace platform {

namespace {

template<typename T>
void removeFrom(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

BeaconProximity proximityFor(int rssi)
{
    if (rssi >= -55)
        return BeaconProximity::immediate;
    if (rssi >= -75)
        return BeaconProximity::near;
    return BeaconProximity::far;
}

} // namespace

SimDevice::SimDevice(SimAir& air, std::string name, BluetoothUUID identifier)
    : air_(air)
    , name_(std::move(name))
    , identifier_(identifier)
{
}

SimDevice::~SimDevice() = default;

SimDevice& SimDevice::standalone()
{
    static auto* air = new std::shared_ptr<SimAir>(SimAir::make());
    static SimDevice& device = (*air)->addDevice("this device");
    return device;
}

std::unique_ptr<CentralManager> SimDevice::makeCentralManager()
{
    return std::make_unique<SimCentralManager>(*this, air_.shared_from_this());
}

std::unique_ptr<PeripheralManager> SimDevice::makePeripheralManager()
{
    return std::make_unique<SimPeripheralManager>(*this, air_.shared_from_this());
}

std::unique_ptr<LocationManager> SimDevice::makeLocationManager()
{
    return std::make_unique<SimLocationManager>(*this, air_.shared_from_this());
}

void SimDevice::setBluetoothState(ManagerState state)
{
    if (state == bluetoothState_)
        return;
    bluetoothState_ = state;
    if (state != ManagerState::poweredOn) {
        advertise(std::nullopt);
        for (auto& other : air_.devices())
            for (auto* central : other->centralManagers())
                central->dropLink(*this, BluetoothError { 7, "The specified device has disconnected from us." });
    }
    for (auto* manager : centrals_)
        manager->radioStateChanged();
    for (auto* manager : peripheralManagers_)
        manager->radioStateChanged();
    for (auto& other : air_.devices())
        if (other.get() != this)
            other->surroundingsChanged();
}

void SimDevice::advertise(std::optional<AdvertisementData> advertisement)
{
    if (advertisement && bluetoothState_ != ManagerState::poweredOn)
        return;
    advertisement_ = std::move(advertisement);
    if (advertisementObserver_)
        advertisementObserver_(advertisement_);
    if (!advertisement_)
        return;
    for (auto& other : air_.devices())
        if (other.get() != this)
            for (auto* central : other->centralManagers())
                central->hear(*this);
}

void SimDevice::setAdvertisementObserver(std::function<void(const std::optional<AdvertisementData>&)> observer)
{
    advertisementObserver_ = std::move(observer);
}

void SimDevice::hostGattServer(std::vector<SimGattService> services, SimGattServer* server)
{
    gattServices_ = std::move(services);
    gattServer_ = server;
}

void SimDevice::stopHostingGattServer()
{
    for (auto& other : air_.devices())
        for (auto* central : other->centralManagers())
            central->dropLink(*this, BluetoothError { 7, "The specified device has disconnected from us." });
    gattServices_.clear();
    gattServer_ = nullptr;
}

bool SimDevice::takeConnectionFailure()
{
    if (failingConnections_ <= 0)
        return false;
    --failingConnections_;
    return true;
}

void SimDevice::setBeacon(std::optional<Beacon> beacon)
{
    beacon_ = std::move(beacon);
    for (auto& other : air_.devices())
        if (other.get() != this)
            other->surroundingsChanged();
}

std::vector<Beacon> SimDevice::beaconsInRange() const
{
    std::vector<Beacon> beacons;
    for (auto& other : air_.devices()) {
        if (other.get() == this || !other->beacon_ || other->bluetoothState_ != ManagerState::poweredOn)
            continue;
        auto signal = air_.signalStrength(*this, *other);
        if (!signal)
            continue;
        Beacon beacon = *other->beacon_;
        beacon.rssi = *signal;
        beacon.proximity = proximityFor(*signal);
        beacons.push_back(beacon);
    }
    return beacons;
}

void SimDevice::setLocationAuthorization(AuthorizationStatus status)
{
    if (status == authorization_)
        return;
    authorization_ = status;
    for (auto* manager : locationManagers_)
        manager->authorizationChanged();
}

void SimDevice::requestAlwaysAuthorization()
{
    ++alwaysAuthorizationRequests_;
    // The user is asked only while the question is open.
    bool undecided = authorization_ == AuthorizationStatus::notDetermined || authorization_ == AuthorizationStatus::authorizedWhenInUse;
    if (undecided && authorizationAnswer_)
        setLocationAuthorization(*authorizationAnswer_);
}

void SimDevice::detach(SimCentralManager* manager) { removeFrom(centrals_, manager); }
void SimDevice::detach(SimPeripheralManager* manager) { removeFrom(peripheralManagers_, manager); }
void SimDevice::detach(SimLocationManager* manager) { removeFrom(locationManagers_, manager); }

void SimDevice::surroundingsChanged()
{
    for (auto* manager : locationManagers_)
        manager->surroundingsChanged();
}

} // namespace platform
