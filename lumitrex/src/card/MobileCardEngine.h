#pragma once

#include "card/BackgroundRunner.h"
#include "card/BeaconWatcher.h"
#include "card/CardAdvertiser.h"
#include "card/CardData.h"
#include "card/CardSettings.h"
#include "card/ReaderConnector.h"
#include "lumitrex/MobileCard.h"
#include "platform/foundation/DispatchQueue.h"

#include <memory>
#include <optional>
#include <string>

namespace lumitrex {

// The engine behind MobileCard: the card data and the four roles that use
// them, each the delegate of its own platform manager: advertising (the
// peripheral role), the reader connection (the central role), the beacon
// wake-up and background running. Everything but the "BLEQueue" blocks runs
// on the main queue, where the platform delivers every callback.
//
// Production has one engine, owned by MobileCard::sharedInstance(). Tests make
// their own with create() for a fresh start, and reach each role through it.
class MobileCardEngine final {
public:
    using Proximity = MobileCard::Proximity;

    // Start-up: managers from the installed Bluetooth radio and location
    // services, configuration from the main bundle, the library's suite.
    static std::shared_ptr<MobileCardEngine> create();
    ~MobileCardEngine();
    MobileCardEngine(const MobileCardEngine&) = delete;
    MobileCardEngine& operator=(const MobileCardEngine&) = delete;

    Proximity proximityLevel() const { return settings_.proximityLevel(); }
    void setProximityLevel(Proximity level) { settings_.setProximityLevel(level); }
    bool isAdvertising() const { return advertiser_->isAdvertising(); }
    bool setData(const std::optional<std::string>& uid, const std::optional<std::string>& mid, const std::optional<std::string>& key);
    bool startAdvertising() { return advertiser_->startAdvertising(); }
    void stopAdvertising() { advertiser_->stopAdvertising(); }
    bool startBackgroundRunning() { return background_.startBackgroundRunning(); }
    void stopBackgroundRunning() { background_.stopBackgroundRunning(); }

    // The roles, for tests.
    const CardData& cardData() const { return cardData_; }
    CardData& cardData() { return cardData_; }
    CardAdvertiser& advertiser() { return *advertiser_; }
    ReaderConnector& readerConnector() { return *reader_; }
    BeaconWatcher& beaconWatcher() { return beacon_; }
    const BackgroundRunner& backgroundRunner() const { return background_; }

private:
    MobileCardEngine();

    // Runs the start of advertising and the building of the connection payloads.
    const platform::DispatchQueue queue_;
    CardSettings settings_;
    CardData cardData_;
    // Shared so that delayed blocks can hold them weakly.
    const std::shared_ptr<ReaderConnector> reader_;
    const std::shared_ptr<CardAdvertiser> advertiser_;
    BeaconWatcher beacon_;
    BackgroundRunner background_;
};

} // namespace lumitrex
