#include "platform/location/LocationServices.h"

#include "platform/foundation/DispatchQueue.h"

#include <atomic>

namespace platform {

namespace {

// The location manager of a device without location hardware: restricted, no
// regions to monitor. Setting a delegate reports that later on the main queue,
// as the platform does; made and destroyed on the main queue.
class RestrictedLocationManager final : public LocationManager {
public:
    void setDelegate(LocationManagerDelegate* delegate) override
    {
        delegate_ = delegate;
        DispatchQueue::main().async([this, alive = std::weak_ptr<void>(alive_)] {
            if (!alive.expired() && delegate_)
                delegate_->locationManagerDidChangeAuthorization(*this, AuthorizationStatus::restricted);
        });
    }
    LocationManagerDelegate* delegate() const override { return delegate_; }

    AuthorizationStatus authorizationStatus() const override { return AuthorizationStatus::restricted; }
    void requestAlwaysAuthorization() override { }

    void setAllowsBackgroundLocationUpdates(bool) override { }
    void setPausesLocationUpdatesAutomatically(bool) override { }
    void startUpdatingLocation() override { }
    void stopUpdatingLocation() override { }

    void startMonitoring(const BeaconRegion&) override { }
    void stopMonitoring(const BeaconRegion&) override { }
    void startRangingBeacons(const BeaconRegion&) override { }
    void stopRangingBeacons(const BeaconRegion&) override { }
    void requestState(const BeaconRegion&) override { }

    bool isMonitoringAvailableForBeaconRegions() const override { return false; }

private:
    LocationManagerDelegate* delegate_ = nullptr;
    std::shared_ptr<void> alive_ = std::make_shared<char>();
};

// Linux has no location hardware: without installed services (the simulated
// phone's, or a test's) every manager is restricted.
class NoLocationServices final : public LocationServices {
public:
    std::unique_ptr<LocationManager> makeLocationManager() override { return std::make_unique<RestrictedLocationManager>(); }
};

NoLocationServices noLocationServices;
std::atomic<LocationServices*> installedServices { nullptr };

} // namespace

LocationServices& LocationServices::current()
{
    if (auto* services = installedServices.load())
        return *services;
    return noLocationServices;
}

LocationServices* LocationServices::install(LocationServices* services)
{
    return installedServices.exchange(services);
}

} // namespace platform
