#include "card/BeaconWatcher.h"

#include "card/CardStrings.h"
#include "platform/location/LocationServices.h"

namespace lumitrex {

namespace {

platform::BeaconRegion readerBeaconRegion()
{
    return platform::BeaconRegion { platform::BluetoothUUID::fromString("B9407F30-F5F8-466E-AFF9-25556B57FE6D").value(), 1, 2,
        CardStrings::beaconIdentifier };
}

} // namespace

BeaconWatcher::BeaconWatcher(ReaderConnector& reader, const CardSettings& settings)
    : reader_(reader)
    , settings_(settings)
    , beaconRegion_(readerBeaconRegion())
    , locationManager_(platform::LocationServices::current().makeLocationManager())
{
}

void BeaconWatcher::listen()
{
    locationManager_->setDelegate(this);
    locationManager_->requestAlwaysAuthorization();
    locationManager_->setAllowsBackgroundLocationUpdates(true);
    locationManager_->setPausesLocationUpdatesAutomatically(false);
}

platform::AuthorizationStatus BeaconWatcher::authorizationStatus() const
{
    return locationManager_->authorizationStatus();
}

void BeaconWatcher::startWatching()
{
    locationManager_->startUpdatingLocation();
    locationManager_->startMonitoring(beaconRegion_);
    locationManager_->startRangingBeacons(beaconRegion_);
    if (locationManager_->isMonitoringAvailableForBeaconRegions())
        watchBeaconRegion();
}

void BeaconWatcher::watchBeaconRegion()
{
    beaconRegion_.notifyEntryStateOnDisplay = true;
    beaconRegion_.notifyOnExit = true;
    beaconRegion_.notifyOnEntry = true;
    locationManager_->startMonitoring(beaconRegion_);
}

void BeaconWatcher::stopWatching()
{
    locationManager_->stopUpdatingLocation();
    locationManager_->stopMonitoring(beaconRegion_);
    locationManager_->stopRangingBeacons(beaconRegion_);
}

void BeaconWatcher::locationManagerDidChangeAuthorization(platform::LocationManager& manager, platform::AuthorizationStatus status)
{
    if (status == platform::AuthorizationStatus::authorizedAlways && settings_.backgroundModeIsOn() && manager.isMonitoringAvailableForBeaconRegions())
        watchBeaconRegion();
}

void BeaconWatcher::locationManagerDidStartMonitoring(platform::LocationManager& manager, const platform::BeaconRegion&)
{
    manager.requestState(beaconRegion_);
}

void BeaconWatcher::locationManagerDidDetermineState(platform::LocationManager& manager, platform::RegionState state, const platform::BeaconRegion&)
{
    if (state == platform::RegionState::inside)
        manager.startRangingBeacons(beaconRegion_);
    else if (state == platform::RegionState::outside)
        manager.stopRangingBeacons(beaconRegion_);
}

void BeaconWatcher::locationManagerDidRangeBeacons(platform::LocationManager&, const std::vector<platform::Beacon>& beacons, const platform::BeaconRegion&)
{
    if (beacons.empty())
        return;
    auto proximity = static_cast<int>(beacons.front().proximity);
    if (proximity >= 0 && proximity <= 3)
        reader_.startScanDroppingErrors();
}

void BeaconWatcher::locationManagerDidEnterRegion(platform::LocationManager&, const platform::BeaconRegion&)
{
    if (settings_.backgroundModeIsOn() && !reader_.isScanning())
        reader_.startScanDroppingErrors();
}

void BeaconWatcher::locationManagerDidExitRegion(platform::LocationManager&, const platform::BeaconRegion&)
{
}

} // namespace lumitrex
