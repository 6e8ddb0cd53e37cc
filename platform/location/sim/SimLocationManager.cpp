#include "platform/location/sim/SimLocationManager.h"

#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"

#include <algorithm>

namespace platform {

namespace {

bool matches(const BeaconRegion& region, const Beacon& beacon)
{
    return beacon.proximityUUID == region.proximityUUID
        && (!region.major || *region.major == beacon.major)
        && (!region.minor || *region.minor == beacon.minor);
}

} // namespace

SimLocationManager::SimLocationManager(SimDevice& device, std::shared_ptr<SimAir> air)
    : device_(device)
    , air_(std::move(air))
{
    device_.attach(this);
}

SimLocationManager::~SimLocationManager()
{
    device_.detach(this);
}

void SimLocationManager::setDelegate(LocationManagerDelegate* delegate)
{
    delegate_ = delegate;
    if (delegate_)
        authorizationChanged();
}

AuthorizationStatus SimLocationManager::authorizationStatus() const
{
    return device_.locationAuthorization();
}

void SimLocationManager::requestAlwaysAuthorization()
{
    device_.requestAlwaysAuthorization();
}

bool SimLocationManager::isMonitoringAvailableForBeaconRegions() const
{
    return device_.isMonitoringAvailable();
}

void SimLocationManager::authorizationChanged()
{
    lifetime_.post(Duration::zero(), [this] {
        if (delegate_)
            delegate_->locationManagerDidChangeAuthorization(*this, device_.locationAuthorization());
    });
    surroundingsChanged();
}

std::vector<Beacon> SimLocationManager::beaconsIn(const BeaconRegion& region) const
{
    auto beacons = device_.beaconsInRange();
    std::erase_if(beacons, [&](const Beacon& beacon) { return !matches(region, beacon); });
    return beacons;
}

RegionState SimLocationManager::stateOf(const BeaconRegion& region) const
{
    return beaconsIn(region).empty() ? RegionState::outside : RegionState::inside;
}

void SimLocationManager::startMonitoring(const BeaconRegion& region)
{
    ++monitoringStarts_;
    monitored_.insert_or_assign(region.identifier, Monitored { region, stateOf(region) });
    if (device_.locationAuthorization() != AuthorizationStatus::authorizedAlways || !device_.isMonitoringAvailable())
        return;
    lifetime_.post(Duration::zero(), [this, region] {
        if (delegate_ && monitored_.contains(region.identifier))
            delegate_->locationManagerDidStartMonitoring(*this, region);
    });
}

void SimLocationManager::stopMonitoring(const BeaconRegion& region)
{
    monitored_.erase(region.identifier);
}

void SimLocationManager::requestState(const BeaconRegion& region)
{
    lifetime_.post(Duration::zero(), [this, region] {
        if (delegate_)
            delegate_->locationManagerDidDetermineState(*this, stateOf(region), region);
    });
}

void SimLocationManager::surroundingsChanged()
{
    bool monitoring = device_.locationAuthorization() == AuthorizationStatus::authorizedAlways && device_.isMonitoringAvailable();
    for (auto& [identifier, entry] : monitored_) {
        auto state = stateOf(entry.region);
        if (state == entry.state)
            continue;
        entry.state = state;
        if (!monitoring)
            continue;
        lifetime_.post(Duration::zero(), [this, region = entry.region, state] {
            if (!delegate_)
                return;
            if (state == RegionState::inside && region.notifyOnEntry)
                delegate_->locationManagerDidEnterRegion(*this, region);
            if (state == RegionState::outside && region.notifyOnExit)
                delegate_->locationManagerDidExitRegion(*this, region);
            delegate_->locationManagerDidDetermineState(*this, state, region);
        });
    }
}

void SimLocationManager::startRangingBeacons(const BeaconRegion& region)
{
    ++rangingStarts_;
    ranged_.insert_or_assign(region.identifier, region);
    if (rangingLoopRunning_)
        return;
    rangingLoopRunning_ = true;
    auto generation = ++rangingGeneration_;
    lifetime_.post(air_->timing().rangingInterval, [this, generation] { rangingTick(generation); });
}

void SimLocationManager::stopRangingBeacons(const BeaconRegion& region)
{
    ranged_.erase(region.identifier);
    if (ranged_.empty()) {
        rangingLoopRunning_ = false;
        ++rangingGeneration_;
    }
}

void SimLocationManager::rangingTick(std::uint64_t generation)
{
    if (generation != rangingGeneration_)
        return;
    auto status = device_.locationAuthorization();
    bool authorized = status == AuthorizationStatus::authorizedAlways || status == AuthorizationStatus::authorizedWhenInUse;
    // The delegate may change what is ranged while it hears the reports.
    auto regions = ranged_;
    for (const auto& [identifier, region] : regions)
        if (authorized && delegate_)
            delegate_->locationManagerDidRangeBeacons(*this, beaconsIn(region), region);
    if (generation == rangingGeneration_)
        lifetime_.post(air_->timing().rangingInterval, [this, generation] { rangingTick(generation); });
}

std::vector<BeaconRegion> SimLocationManager::monitoredRegions() const
{
    std::vector<BeaconRegion> regions;
    for (const auto& [identifier, entry] : monitored_)
        regions.push_back(entry.region);
    return regions;
}

std::vector<BeaconRegion> SimLocationManager::rangedRegions() const
{
    std::vector<BeaconRegion> regions;
    for (const auto& [identifier, region] : ranged_)
        regions.push_back(region);
    return regions;
}

} // namespace platform
