// The peripheral role: the advertising tick and its packets.
#include "card/CardStrings.h"
#include "card/MobileCardEngine.h"
#include "errors/StateErrors.h"

#include <algorithm>
#include <chrono>

namespace lumitrex {

namespace {

constexpr auto kTickInterval = std::chrono::milliseconds(300);

} // namespace

bool MobileCardEngine::isAdvertising() const
{
    return peripheralManager->isAdvertising();
}

bool MobileCardEngine::startAdvertising()
{
    if (!checkAdvertisingState(static_cast<int>(peripheralManager->state())))
        return false;
    if (peripheralManager->isAdvertising()) {
        // The running timer advertises again at its next tick.
        peripheralManager->stopAdvertising();
        peripheralManager->removeAllServices();
        return true;
    }
    queue.sync([this] { beginAdvertising(); });
    return true;
}

void MobileCardEngine::beginAdvertising()
{
    updatePacketData(true);
    activationCheck = true;
    if (mTimer)
        mTimer->invalidate();
    // Scheduled on the run loop of the thread that waits for this block.
    mTimer = platform::Timer::scheduledTimer(kTickInterval, true, [weakSelf = weak_from_this()](platform::Timer&) {
        if (auto self = weakSelf.lock())
            self->sendAdvertisingPacket();
    });
}

void MobileCardEngine::sendAdvertisingPacket()
{
    if (peripheralManager->isAdvertising()) {
        peripheralManager->stopAdvertising();
        peripheralManager->removeAllServices();
    }
    // A second identifier whose text begins "00000000" (its first four bytes
    // zero) is still the placeholder: nothing is advertised then.
    const auto& second = vondTwoUUID.data();
    bool placeholder = std::all_of(second.begin(), second.begin() + 4, [](std::uint8_t byte) { return byte == 0; });
    if (activationCheck && !placeholder) {
        if (!isFirstPacketSended)
            peripheralManager->startAdvertising({ CardStrings::vond1Name, { vondOneUUID } });
        else
            peripheralManager->startAdvertising({ CardStrings::vond2Name, { vondTwoUUID } });
        isFirstPacketSended = !isFirstPacketSended;
    }
    updatePacketData(true);
}

void MobileCardEngine::stopAdvertising()
{
    peripheralManager->stopAdvertising();
    peripheralManager->removeAllServices();
    if (mTimer)
        mTimer->invalidate();
}

void MobileCardEngine::peripheralManagerDidUpdateState(platform::PeripheralManager& manager)
{
    if (manager.state() != platform::ManagerState::poweredOn)
        return;
    manager.addService({ vondOneUUID, false });
    manager.addService({ vondTwoUUID, false });
}

std::optional<PacketPair> MobileCardEngine::makeAdvertisingPackets(bool forAdvertising)
{
    if (!_uid || !_mid || !_mkey)
        return std::nullopt;
    auto packets = buildAdvertisingPackets(*_uid, *_mid, *_mkey, crypto.timestampString(), vector);
    return forAdvertising ? packets : reversedForConnection(std::move(packets));
}

void MobileCardEngine::updatePacketData(bool forAdvertising)
{
    auto packets = makeAdvertisingPackets(true);
    if (!packets)
        return;
    if (!forAdvertising) {
        auto reversed = reversedForConnection(*packets);
        bleUUIDData[CardStrings::firstPayloadKey] = reversed.first;
        bleUUIDData[CardStrings::secondPayloadKey] = reversed.second;
        return;
    }
    // An identifier needs 16 bytes: a failed cipher chain leaves both as they were.
    auto first = platform::BluetoothUUID::fromData(packets->first);
    auto second = platform::BluetoothUUID::fromData(packets->second);
    if (!first || !second)
        return;
    vondOneUUID = *first;
    vondTwoUUID = *second;
}

void MobileCardEngine::makeConnectionPackets()
{
    bleUUIDData.clear();
    auto packets = reversedForConnection(buildAdvertisingPackets(_uid.value_or(""), _mid.value_or(""), _mkey.value_or(""), crypto.timestampString()));
    bleUUIDData[CardStrings::firstPayloadKey] = std::move(packets.first);
    bleUUIDData[CardStrings::secondPayloadKey] = std::move(packets.second);
}

} // namespace lumitrex
