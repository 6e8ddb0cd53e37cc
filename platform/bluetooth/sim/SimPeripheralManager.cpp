#include "platform/bluetooth/sim/SimPeripheralManager.h"

#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"

namespace platform {

SimPeripheralManager::SimPeripheralManager(SimDevice& device, std::shared_ptr<SimAir> air)
    : device_(device)
    , air_(std::move(air))
{
    device_.attach(this);
    radioStateChanged();
}

SimPeripheralManager::~SimPeripheralManager()
{
    if (advertising_)
        device_.advertise(std::nullopt);
    device_.detach(this);
}

void SimPeripheralManager::radioStateChanged()
{
    lifetime_.post(Duration::zero(), [this] { adoptRadioState(); });
}

void SimPeripheralManager::adoptRadioState()
{
    auto state = device_.bluetoothState();
    if (state == state_)
        return;
    state_ = state;
    if (state != ManagerState::poweredOn)
        advertising_ = false;
    if (delegate_)
        delegate_->peripheralManagerDidUpdateState(*this);
}

void SimPeripheralManager::startAdvertising(const AdvertisementData& advertisement)
{
    if (state_ != ManagerState::poweredOn)
        return;
    advertising_ = true;
    device_.advertise(advertisement);
}

void SimPeripheralManager::stopAdvertising()
{
    if (!advertising_)
        return;
    advertising_ = false;
    device_.advertise(std::nullopt);
}

void SimPeripheralManager::addService(const MutableService& service)
{
    if (state_ == ManagerState::poweredOn)
        device_.mutablePublishedServices().push_back(service);
}

void SimPeripheralManager::removeAllServices()
{
    device_.mutablePublishedServices().clear();
}

} // namespace platform
