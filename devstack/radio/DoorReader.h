#pragma once

#include "devstack/radio/AccessDecision.h"
#include "devstack/radio/ReaderCrypto.h"
#include "platform/bluetooth/CentralManager.h"
#include "platform/bluetooth/sim/SimGattServer.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class SimDevice;
}

namespace devstack {

// A door reader on the simulated air. It knows its site's Base64 card key and
// site number and grants access to a card whose second identifier is what a
// genuine card computes for the card number and timestamp of its first one,
// and whose timestamp lies within a few seconds of the reader's own clock.
//
// In advertising mode it listens for "Vond1" and "Vond2" and checks each new
// pair it hears. In connection mode it offers the reader service with its two
// write characteristics, checks the payloads "vond1" and "vond2" of a link
// and then drops that link. Either way it reports each decision to its
// observer and on the console. Main queue only.
class DoorReader final : public platform::CentralManagerDelegate, public platform::SimGattServer {
public:
    enum class Mode { advertising, connection };

    struct Configuration {
        std::string cardKey;
        std::string siteNumber;
        Mode mode = Mode::advertising;
        std::chrono::seconds allowedClockSkew { 5 };
    };

    DoorReader(platform::SimDevice& device, Configuration configuration);
    ~DoorReader() override;

    void setObserver(std::function<void(const AccessDecision&)> observer) { observer_ = std::move(observer); }
    const std::vector<AccessDecision>& decisions() const { return decisions_; }

    void start();
    void stop();

    // The one check of both modes, on the bytes as they travel on air:
    // reverse(P1) and reverse(E3).
    AccessDecision check(const std::vector<std::uint8_t>& firstOnAir, const std::vector<std::uint8_t>& secondOnAir, AccessDecision::Channel channel) const;

    // CentralManagerDelegate
    void centralManagerDidUpdateState(platform::CentralManager& manager) override;
    void centralManagerDidDiscover(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>& peripheral,
        const platform::AdvertisementData& advertisement, int rssi) override;

    // SimGattServer
    void linkClosed(platform::SimDevice& central) override;
    std::optional<platform::BluetoothError> didReceiveWrite(platform::SimDevice& central, const platform::BluetoothUUID& characteristic,
        const std::vector<std::uint8_t>& value) override;

private:
    struct LinkPayloads {
        std::optional<std::vector<std::uint8_t>> first;
        std::optional<std::vector<std::uint8_t>> second;
        bool decided = false;
    };

    void report(AccessDecision decision);
    void startScanning();

    platform::SimDevice& device_;
    const Configuration configuration_;
    const std::optional<std::string> cardKeyHex_;
    const platform::DateFormatter timestampFormat_ { "yyyyMMddHHmmss", "ko_KR_POSIX" };
    std::unique_ptr<platform::CentralManager> central_;
    bool running_ = false;
    std::function<void(const AccessDecision&)> observer_;
    std::vector<AccessDecision> decisions_;

    // Advertising mode, per phone: its last first identifier and the last
    // pair checked, so repeats of one advertisement are decided once.
    struct HeardPhone {
        std::optional<platform::BluetoothUUID> first;
        std::optional<std::pair<platform::BluetoothUUID, platform::BluetoothUUID>> checked;
    };
    std::map<platform::BluetoothUUID, HeardPhone> heard_;
    // Connection mode: what each link has written so far.
    std::map<const platform::SimDevice*, LinkPayloads> links_;
};

} // namespace devstack
