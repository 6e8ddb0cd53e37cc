#include "card/CardAdvertiser.h"

#include "card/CardStrings.h"
#include "errors/StateErrors.h"
#include "platform/bluetooth/BluetoothRadio.h"

#include <algorithm>
#include <chrono>

namespace lumitrex {

namespace {

constexpr auto kTickInterval = std::chrono::milliseconds(300);

} // namespace

CardAdvertiser::CardAdvertiser(const CardData& card, const platform::DispatchQueue& queue)
    : card_(card)
    , queue_(queue)
    , peripheralManager_(platform::BluetoothRadio::current().makePeripheralManager())
    , vector_(kLibraryIv)
{
}

CardAdvertiser::~CardAdvertiser()
{
    if (mTimer_)
        mTimer_->invalidate();
}

void CardAdvertiser::listen()
{
    peripheralManager_->setDelegate(this);
}

bool CardAdvertiser::isAdvertising() const
{
    return peripheralManager_->isAdvertising();
}

bool CardAdvertiser::startAdvertising()
{
    if (!checkAdvertisingState(static_cast<int>(peripheralManager_->state())))
        return false;
    if (peripheralManager_->isAdvertising()) {
        // The running timer advertises again at its next tick.
        peripheralManager_->stopAdvertising();
        peripheralManager_->removeAllServices();
        return true;
    }
    queue_.sync([this] { beginAdvertising(); });
    return true;
}

void CardAdvertiser::beginAdvertising()
{
    updatePacketData();
    activationCheck_ = true;
    if (mTimer_)
        mTimer_->invalidate();
    // Scheduled on the run loop of the thread that waits for this block.
    mTimer_ = platform::Timer::scheduledTimer(kTickInterval, true, [weakSelf = weak_from_this()](platform::Timer&) {
        if (auto self = weakSelf.lock())
            self->sendAdvertisingPacket();
    });
}

void CardAdvertiser::sendAdvertisingPacket()
{
    if (peripheralManager_->isAdvertising()) {
        peripheralManager_->stopAdvertising();
        peripheralManager_->removeAllServices();
    }
    // A second identifier whose text begins "00000000" (its first four bytes
    // zero) is still the placeholder: nothing is advertised then.
    const auto& second = vondTwoUUID_.data();
    bool placeholder = std::all_of(second.begin(), second.begin() + 4, [](std::uint8_t byte) { return byte == 0; });
    if (activationCheck_ && !placeholder) {
        if (!isFirstPacketSended_)
            peripheralManager_->startAdvertising({ CardStrings::vond1Name, { vondOneUUID_ } });
        else
            peripheralManager_->startAdvertising({ CardStrings::vond2Name, { vondTwoUUID_ } });
        isFirstPacketSended_ = !isFirstPacketSended_;
    }
    updatePacketData();
}

void CardAdvertiser::stopAdvertising()
{
    peripheralManager_->stopAdvertising();
    peripheralManager_->removeAllServices();
    if (mTimer_)
        mTimer_->invalidate();
}

void CardAdvertiser::peripheralManagerDidUpdateState(platform::PeripheralManager& manager)
{
    if (manager.state() != platform::ManagerState::poweredOn)
        return;
    manager.addService({ vondOneUUID_, false });
    manager.addService({ vondTwoUUID_, false });
}

std::optional<PacketPair> CardAdvertiser::makeAdvertisingPackets() const
{
    if (!card_.uid() || !card_.mid() || !card_.mobileKey())
        return std::nullopt;
    return buildAdvertisingPackets(*card_.uid(), *card_.mid(), *card_.mobileKey(), card_.crypto().timestampString(), vector_);
}

void CardAdvertiser::updatePacketData()
{
    auto packets = makeAdvertisingPackets();
    if (!packets)
        return;
    // An identifier needs 16 bytes: a failed cipher chain leaves both as they were.
    auto first = platform::BluetoothUUID::fromData(packets->first);
    auto second = platform::BluetoothUUID::fromData(packets->second);
    if (!first || !second)
        return;
    vondOneUUID_ = *first;
    vondTwoUUID_ = *second;
}

} // namespace lumitrex
