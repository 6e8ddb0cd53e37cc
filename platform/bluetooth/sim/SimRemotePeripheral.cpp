#include "platform/bluetooth/sim/SimRemotePeripheral.h"

#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimCentralManager.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/foundation/DispatchQueue.h"

#include <algorithm>

namespace platform {

namespace {

bool wanted(const std::optional<std::vector<BluetoothUUID>>& filter, const BluetoothUUID& uuid)
{
    return !filter || std::find(filter->begin(), filter->end(), uuid) != filter->end();
}

} // namespace

SimRemotePeripheral::SimRemotePeripheral(SimCentralManager& central, std::weak_ptr<void> centralAlive, SimDevice& target, std::shared_ptr<SimAir> air)
    : central_(central)
    , centralAlive_(std::move(centralAlive))
    , target_(target)
    , air_(std::move(air))
{
}

BluetoothUUID SimRemotePeripheral::identifier() const
{
    return target_.identifier();
}

template<typename Answer>
void SimRemotePeripheral::answerLater(Answer answer)
{
    // Requests may come from any thread: only the posting happens here.
    std::weak_ptr<Peripheral> weakSelf = weak_from_this();
    DispatchQueue::main().asyncAfter(air_->timing().requestDelay, [weakSelf, answer = std::move(answer)]() mutable {
        auto self = std::static_pointer_cast<SimRemotePeripheral>(weakSelf.lock());
        if (self && self->linkIsUp())
            answer(*self);
    });
}

bool SimRemotePeripheral::linkIsUp() const
{
    return !centralAlive_.expired() && central_.isConnectedTo(target_);
}

std::shared_ptr<Service> SimRemotePeripheral::serviceObject(const BluetoothUUID& uuid, bool primary)
{
    auto& slot = serviceObjects_[uuid];
    if (!slot)
        slot = std::make_shared<Service>(uuid, primary);
    return slot;
}

std::shared_ptr<Characteristic> SimRemotePeripheral::characteristicObject(const BluetoothUUID& service, const BluetoothUUID& uuid, std::uint32_t properties)
{
    auto& slot = characteristicObjects_[{ service, uuid }];
    if (!slot)
        slot = std::make_shared<Characteristic>(uuid, properties);
    return slot;
}

void SimRemotePeripheral::discoverServices(std::optional<std::vector<BluetoothUUID>> serviceUUIDs)
{
    answerLater([filter = std::move(serviceUUIDs)](SimRemotePeripheral& self) {
        std::vector<std::shared_ptr<Service>> found;
        for (const auto& service : self.target_.gattServices())
            if (wanted(filter, service.uuid))
                found.push_back(self.serviceObject(service.uuid, service.primary));
        self.services_ = std::move(found);
        if (self.delegate_)
            self.delegate_->peripheralDidDiscoverServices(self, std::nullopt);
    });
}

void SimRemotePeripheral::discoverCharacteristics(std::optional<std::vector<BluetoothUUID>> characteristicUUIDs, std::shared_ptr<Service> service)
{
    if (!service)
        return;
    answerLater([filter = std::move(characteristicUUIDs), service](SimRemotePeripheral& self) {
        auto definition = std::find_if(self.target_.gattServices().begin(), self.target_.gattServices().end(),
            [&](const SimGattService& candidate) { return candidate.uuid == service->uuid(); });
        std::vector<std::shared_ptr<Characteristic>> found;
        if (definition != self.target_.gattServices().end())
            for (const auto& characteristic : definition->characteristics)
                if (wanted(filter, characteristic.uuid))
                    found.push_back(self.characteristicObject(service->uuid(), characteristic.uuid, characteristic.properties));
        service->setCharacteristics(std::move(found));
        if (self.delegate_)
            self.delegate_->peripheralDidDiscoverCharacteristics(self, service, std::nullopt);
    });
}

void SimRemotePeripheral::readRSSI()
{
    answerLater([](SimRemotePeripheral& self) {
        auto signal = self.air_->signalStrength(self.central_.device(), self.target_);
        if (!self.delegate_)
            return;
        if (signal)
            self.delegate_->peripheralDidReadRSSI(self, *signal, std::nullopt);
        else
            self.delegate_->peripheralDidReadRSSI(self, CentralManager::kRSSIUnavailable, BluetoothError { 6, "The connection has timed out unexpectedly." });
    });
}

void SimRemotePeripheral::writeValue(std::vector<std::uint8_t> value, std::shared_ptr<Characteristic> characteristic, WriteType type)
{
    if (!characteristic)
        return;
    answerLater([value = std::move(value), characteristic, type](SimRemotePeripheral& self) {
        std::optional<BluetoothError> error;
        if (auto* server = self.target_.gattServer())
            error = server->didReceiveWrite(self.central_.device(), characteristic->uuid(), value);
        else
            error = BluetoothError { 10, "The attribute could not be found." };
        if (type == WriteType::withResponse && self.delegate_)
            self.delegate_->peripheralDidWriteValue(self, characteristic, error);
    });
}

} // namespace platform
