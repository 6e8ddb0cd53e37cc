// Background running: the beacon region that wakes the reader scan.
#include "card/CardStrings.h"
#include "card/MobileCardEngine.h"
#include "errors/StateErrors.h"

namespace lumitrex {

bool MobileCardEngine::startBackgroundRunning()
{
    auto status = static_cast<int>(locationManager->authorizationStatus());
    locationStatus = status;
    checkLocationAuthorization(status);
    if (ud)
        ud->setBool(CardStrings::backgroundModeKey, true);
    locationManager->startUpdatingLocation();
    locationManager->startMonitoring(beaconRegion);
    locationManager->startRangingBeacons(beaconRegion);
    if (locationManager->isMonitoringAvailableForBeaconRegions())
        watchBeaconRegion();
    if (!centralManager->isScanning())
        startScanDroppingErrors();
    return true;
}

void MobileCardEngine::watchBeaconRegion()
{
    beaconRegion.notifyEntryStateOnDisplay = true;
    beaconRegion.notifyOnExit = true;
    beaconRegion.notifyOnEntry = true;
    locationManager->startMonitoring(beaconRegion);
}

void MobileCardEngine::stopBackgroundRunning()
{
    if (ud)
        ud->setBool(CardStrings::backgroundModeKey, false);
    doScan = false;
    if (discoveredPeripheral)
        centralManager->cancelPeripheralConnection(discoveredPeripheral);
    centralManager->stopScan();
    locationManager->stopUpdatingLocation();
    locationManager->stopMonitoring(beaconRegion);
    locationManager->stopRangingBeacons(beaconRegion);
}

void MobileCardEngine::locationManagerDidChangeAuthorization(platform::LocationManager& manager, platform::AuthorizationStatus status)
{
    if (status == platform::AuthorizationStatus::authorizedAlways && backgroundModeIsOn() && manager.isMonitoringAvailableForBeaconRegions())
        watchBeaconRegion();
}

void MobileCardEngine::locationManagerDidStartMonitoring(platform::LocationManager& manager, const platform::BeaconRegion&)
{
    manager.requestState(beaconRegion);
}

void MobileCardEngine::locationManagerDidDetermineState(platform::LocationManager& manager, platform::RegionState state, const platform::BeaconRegion&)
{
    if (state == platform::RegionState::inside)
        manager.startRangingBeacons(beaconRegion);
    else if (state == platform::RegionState::outside)
        manager.stopRangingBeacons(beaconRegion);
}

void MobileCardEngine::locationManagerDidRangeBeacons(platform::LocationManager&, const std::vector<platform::Beacon>& beacons, const platform::BeaconRegion&)
{
    if (beacons.empty())
        return;
    auto proximity = static_cast<int>(beacons.front().proximity);
    if (proximity >= 0 && proximity <= 3)
        startScanDroppingErrors();
}

void MobileCardEngine::locationManagerDidEnterRegion(platform::LocationManager&, const platform::BeaconRegion&)
{
    if (backgroundModeIsOn() && !centralManager->isScanning())
        startScanDroppingErrors();
}

void MobileCardEngine::locationManagerDidExitRegion(platform::LocationManager&, const platform::BeaconRegion&)
{
}

} // namespace lumitrex
