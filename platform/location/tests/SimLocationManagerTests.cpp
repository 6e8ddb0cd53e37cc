#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/location/sim/SimLocationManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace platform;

namespace {

const BluetoothUUID kBeaconUUID = *BluetoothUUID::fromString("B9407F30-F5F8-466E-AFF9-25556B57FE6D");

struct RecordingLocationDelegate : LocationManagerDelegate {
    std::vector<std::string> events;
    std::vector<std::size_t> rangedCounts;

    void locationManagerDidChangeAuthorization(LocationManager&, AuthorizationStatus status) override { events.push_back("authorization " + std::to_string(int(status))); }
    void locationManagerDidStartMonitoring(LocationManager&, const BeaconRegion&) override { events.push_back("monitoring"); }
    void locationManagerDidDetermineState(LocationManager&, RegionState state, const BeaconRegion&) override { events.push_back("state " + std::to_string(int(state))); }
    void locationManagerDidRangeBeacons(LocationManager&, const std::vector<Beacon>& beacons, const BeaconRegion&) override { rangedCounts.push_back(beacons.size()); }
    void locationManagerDidEnterRegion(LocationManager&, const BeaconRegion&) override { events.push_back("enter"); }
    void locationManagerDidExitRegion(LocationManager&, const BeaconRegion&) override { events.push_back("exit"); }
};

class SimLocationTest : public ::testing::Test {
protected:
    TestEnvironment env;
    std::shared_ptr<SimAir> air = SimAir::make();
    SimDevice& phone = air->addDevice("phone");
    SimDevice& beacon = air->addDevice("beacon");
    RecordingLocationDelegate recorder;
    std::unique_ptr<LocationManager> manager = phone.makeLocationManager();
    BeaconRegion region { kBeaconUUID, 1, 2, "MYBEACON" };

    void SetUp() override
    {
        beacon.setBeacon(Beacon { kBeaconUUID, 1, 2 });
        manager->setDelegate(&recorder);
        env.runUntilIdle();
    }
};

} // namespace

TEST_F(SimLocationTest, ReportsAuthorisationWhenDelegateIsSetAndWhenTheUserAnswers)
{
    EXPECT_EQ(recorder.events, (std::vector<std::string> { "authorization 0" }));
    manager->requestAlwaysAuthorization();
    env.runUntilIdle();
    EXPECT_EQ(recorder.events.size(), 1u) << "no answer scripted";

    phone.answerAuthorizationRequestsWith(AuthorizationStatus::authorizedAlways);
    manager->requestAlwaysAuthorization();
    env.runUntilIdle();
    EXPECT_EQ(recorder.events.back(), "authorization 3");
    EXPECT_EQ(phone.alwaysAuthorizationRequestCount(), 2);
}

TEST_F(SimLocationTest, MonitoringFollowsTheBeaconInAndOutOfRangeOnlyWithAlwaysAuthorisation)
{
    manager->startMonitoring(region);
    air->setSignalStrength(phone, beacon, -60);
    env.runUntilIdle();
    EXPECT_EQ(recorder.events, (std::vector<std::string> { "authorization 0" })) << "not authorised";

    air->setSignalStrength(phone, beacon, std::nullopt);
    phone.setLocationAuthorization(AuthorizationStatus::authorizedAlways);
    manager->startMonitoring(region);
    env.runUntilIdle();
    recorder.events.clear();

    air->setSignalStrength(phone, beacon, -60);
    env.runUntilIdle();
    EXPECT_EQ(recorder.events, (std::vector<std::string> { "enter", "state 1" }));
    manager->requestState(region);
    env.runUntilIdle();
    air->setSignalStrength(phone, beacon, std::nullopt);
    env.runUntilIdle();
    EXPECT_EQ(recorder.events, (std::vector<std::string> { "enter", "state 1", "state 1", "exit", "state 2" }));

    BeaconRegion otherMinor { kBeaconUUID, 1, 3, "OTHER" };
    manager->requestState(otherMinor);
    air->setSignalStrength(phone, beacon, -60);
    env.runUntilIdle();
    EXPECT_EQ(recorder.events[5], "state 2");
}

TEST_F(SimLocationTest, RangingReportsEverySecondUntilStopped)
{
    phone.setLocationAuthorization(AuthorizationStatus::authorizedWhenInUse);
    manager->startRangingBeacons(region);
    env.fastForwardBy(1s);
    air->setSignalStrength(phone, beacon, -50);
    env.fastForwardBy(2s);
    manager->stopRangingBeacons(region);
    env.fastForwardBy(3s);
    EXPECT_EQ(recorder.rangedCounts, (std::vector<std::size_t> { 0, 1, 1 }));
}
