#pragma once

#include "platform/location/AuthorizationStatus.h"
#include "platform/location/Beacon.h"
#include "platform/location/BeaconRegion.h"

#include <vector>

namespace platform {

class LocationManager;

// Events of a location manager, delivered on the main queue. The default
// implementations ignore the event.
class LocationManagerDelegate {
public:
    virtual ~LocationManagerDelegate() = default;
    virtual void locationManagerDidChangeAuthorization(LocationManager&, AuthorizationStatus) { }
    virtual void locationManagerDidStartMonitoring(LocationManager&, const BeaconRegion&) { }
    virtual void locationManagerDidDetermineState(LocationManager&, RegionState, const BeaconRegion&) { }
    virtual void locationManagerDidRangeBeacons(LocationManager&, const std::vector<Beacon>&, const BeaconRegion&) { }
    virtual void locationManagerDidEnterRegion(LocationManager&, const BeaconRegion&) { }
    virtual void locationManagerDidExitRegion(LocationManager&, const BeaconRegion&) { }
};

// Location updates and beacon regions. Made without a queue, so its events
// arrive on the main queue; call it from the main queue. Setting a delegate
// reports the current authorisation to it, as the platform does for a new
// manager. Monitoring needs Always authorisation, ranging any authorisation.
class LocationManager {
public:
    virtual ~LocationManager() = default;

    virtual void setDelegate(LocationManagerDelegate* delegate) = 0;
    virtual LocationManagerDelegate* delegate() const = 0;

    virtual AuthorizationStatus authorizationStatus() const = 0;
    virtual void requestAlwaysAuthorization() = 0;

    virtual void setAllowsBackgroundLocationUpdates(bool allows) = 0;
    virtual void setPausesLocationUpdatesAutomatically(bool pauses) = 0;
    virtual void startUpdatingLocation() = 0;
    virtual void stopUpdatingLocation() = 0;

    // The manager keeps its own copy of the region; monitoring a region with
    // the identifier of a monitored one replaces it.
    virtual void startMonitoring(const BeaconRegion& region) = 0;
    virtual void stopMonitoring(const BeaconRegion& region) = 0;
    virtual void startRangingBeacons(const BeaconRegion& region) = 0;
    virtual void stopRangingBeacons(const BeaconRegion& region) = 0;
    virtual void requestState(const BeaconRegion& region) = 0;

    virtual bool isMonitoringAvailableForBeaconRegions() const = 0;
};

} // namespace platform
