#pragma once

#include "card/CardSettings.h"
#include "card/ReaderConnector.h"
#include "platform/location/LocationManager.h"

#include <memory>
#include <vector>

namespace lumitrex {

// The beacon wake-up: watches the reader beacon's region and starts the
// reader scan when the phone comes near a door. Runs on the main queue,
// where the platform delivers the location manager's callbacks.
class BeaconWatcher final : public platform::LocationManagerDelegate {
public:
    BeaconWatcher(ReaderConnector& reader, const CardSettings& settings);
    BeaconWatcher(const BeaconWatcher&) = delete;
    BeaconWatcher& operator=(const BeaconWatcher&) = delete;

    // Becomes the location manager's delegate and asks for what background
    // work needs: Always authorisation and unpaused background updates.
    void listen();

    platform::AuthorizationStatus authorizationStatus() const;
    // Location updates, monitoring and ranging of the region, with its
    // notifications on where monitoring is available.
    void startWatching();
    void stopWatching();

    void locationManagerDidChangeAuthorization(platform::LocationManager&, platform::AuthorizationStatus status) override;
    void locationManagerDidStartMonitoring(platform::LocationManager&, const platform::BeaconRegion&) override;
    void locationManagerDidDetermineState(platform::LocationManager&, platform::RegionState state, const platform::BeaconRegion&) override;
    void locationManagerDidRangeBeacons(platform::LocationManager&, const std::vector<platform::Beacon>& beacons, const platform::BeaconRegion&) override;
    void locationManagerDidEnterRegion(platform::LocationManager&, const platform::BeaconRegion&) override;
    void locationManagerDidExitRegion(platform::LocationManager&, const platform::BeaconRegion&) override;

    // For tests.
    const platform::BeaconRegion& region() const { return beaconRegion_; }
    platform::LocationManager& locationManager() const { return *locationManager_; }

private:
    void watchBeaconRegion();

    ReaderConnector& reader_;
    const CardSettings& settings_;
    platform::BeaconRegion beaconRegion_;
    const std::unique_ptr<platform::LocationManager> locationManager_;
};

} // namespace lumitrex
