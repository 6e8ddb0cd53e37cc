#pragma once

#include "card/CardData.h"
#include "crypto/PacketBuilder.h"
#include "platform/bluetooth/BluetoothUUID.h"
#include "platform/bluetooth/PeripheralManager.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Timer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace lumitrex {

// The peripheral role: turns the card data into the two rotating identifiers
// and advertises them one at a time on a 0.3 s tick. Runs on the main queue,
// where the platform delivers the peripheral manager's callbacks.
class CardAdvertiser final : public std::enable_shared_from_this<CardAdvertiser>, public platform::PeripheralManagerDelegate {
public:
    // `queue` is the card's serial queue, on which advertising begins.
    CardAdvertiser(const CardData& card, const platform::DispatchQueue& queue);
    ~CardAdvertiser() override;
    CardAdvertiser(const CardAdvertiser&) = delete;
    CardAdvertiser& operator=(const CardAdvertiser&) = delete;

    // Becomes the peripheral manager's delegate.
    void listen();

    bool isAdvertising() const;
    // Throws the CardError of a state that is not powered on; false for a
    // state this library does not know.
    bool startAdvertising();
    void stopAdvertising();

    // The advertising tick.
    void sendAdvertisingPacket();

    void peripheralManagerDidUpdateState(platform::PeripheralManager& manager) override;

    // For tests: the identifiers, whichever is due next, the timer and the manager.
    const platform::BluetoothUUID& firstIdentifier() const { return vondOneUUID_; }
    const platform::BluetoothUUID& secondIdentifier() const { return vondTwoUUID_; }
    bool secondIsDue() const { return isFirstPacketSended_; }
    const std::shared_ptr<platform::Timer>& timer() const { return mTimer_; }
    platform::PeripheralManager& peripheralManager() const { return *peripheralManager_; }

private:
    void beginAdvertising();
    // (P1, E3) of now; nothing without complete card data.
    std::optional<PacketPair> makeAdvertisingPackets() const;
    // Replaces both identifiers with the packets of now, when there are any.
    void updatePacketData();

    const CardData& card_;
    const platform::DispatchQueue& queue_;
    const std::unique_ptr<platform::PeripheralManager> peripheralManager_;
    std::shared_ptr<platform::Timer> mTimer_;
    platform::BluetoothUUID vondOneUUID_;
    platform::BluetoothUUID vondTwoUUID_;
    const std::array<std::uint8_t, 16> vector_;
    // Set when advertising first begins, never cleared.
    bool activationCheck_ = false;
    // False: the next tick advertises the first identifier; true: the second.
    bool isFirstPacketSended_ = false;
};

} // namespace lumitrex
