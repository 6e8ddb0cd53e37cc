#pragma once

#include "platform/bluetooth/sim/SimLifetime.h"
#include "platform/location/LocationManager.h"

#include <map>
#include <memory>
#include <string>

namespace platform {

class SimAir;
class SimDevice;

// The location manager of a simulated device. Its beacon regions follow the
// beacons in range of the device; ranging reports come once per ranging
// interval, also when no beacon is in sight.
class SimLocationManager final : public LocationManager {
public:
    SimLocationManager(SimDevice& device, std::shared_ptr<SimAir> air);
    ~SimLocationManager() override;

    void setDelegate(LocationManagerDelegate* delegate) override;
    LocationManagerDelegate* delegate() const override { return delegate_; }
    AuthorizationStatus authorizationStatus() const override;
    void requestAlwaysAuthorization() override;
    void setAllowsBackgroundLocationUpdates(bool allows) override { allowsBackgroundUpdates_ = allows; }
    void setPausesLocationUpdatesAutomatically(bool pauses) override { pausesAutomatically_ = pauses; }
    void startUpdatingLocation() override { updatingLocation_ = true; }
    void stopUpdatingLocation() override { updatingLocation_ = false; }
    void startMonitoring(const BeaconRegion& region) override;
    void stopMonitoring(const BeaconRegion& region) override;
    void startRangingBeacons(const BeaconRegion& region) override;
    void stopRangingBeacons(const BeaconRegion& region) override;
    void requestState(const BeaconRegion& region) override;
    bool isMonitoringAvailableForBeaconRegions() const override;

    // What the manager was asked for, for tests.
    bool allowsBackgroundLocationUpdates() const { return allowsBackgroundUpdates_; }
    bool pausesLocationUpdatesAutomatically() const { return pausesAutomatically_; }
    bool isUpdatingLocation() const { return updatingLocation_; }
    std::vector<BeaconRegion> monitoredRegions() const;
    std::vector<BeaconRegion> rangedRegions() const;
    int monitoringStartCount() const { return monitoringStarts_; }
    int rangingStartCount() const { return rangingStarts_; }

    // For the simulated device.
    void authorizationChanged();
    void surroundingsChanged();

private:
    struct Monitored {
        BeaconRegion region;
        RegionState state;
    };

    RegionState stateOf(const BeaconRegion& region) const;
    std::vector<Beacon> beaconsIn(const BeaconRegion& region) const;
    void rangingTick(std::uint64_t generation);

    SimDevice& device_;
    std::shared_ptr<SimAir> air_;
    LocationManagerDelegate* delegate_ = nullptr;
    bool allowsBackgroundUpdates_ = false;
    bool pausesAutomatically_ = true;
    bool updatingLocation_ = false;
    std::map<std::string, Monitored> monitored_;
    std::map<std::string, BeaconRegion> ranged_;
    int monitoringStarts_ = 0;
    int rangingStarts_ = 0;
    bool rangingLoopRunning_ = false;
    std::uint64_t rangingGeneration_ = 0;
    SimLifetime lifetime_;
};

} // namespace platform
