#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/location/LocationServices.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

struct StateRecorder : CentralManagerDelegate, PeripheralManagerDelegate, LocationManagerDelegate {
    std::vector<ManagerState> centralStates;
    std::vector<ManagerState> peripheralStates;
    std::vector<AuthorizationStatus> authorizations;

    void centralManagerDidUpdateState(CentralManager& manager) override { centralStates.push_back(manager.state()); }
    void peripheralManagerDidUpdateState(PeripheralManager& manager) override { peripheralStates.push_back(manager.state()); }
    void locationManagerDidChangeAuthorization(LocationManager&, AuthorizationStatus status) override { authorizations.push_back(status); }
};

// The platform as it is before the simulated phone, or anything else, is
// installed: what the installed library gives a host program.
class UninstalledDevicesTest : public ::testing::Test {
protected:
    UninstalledDevicesTest()
        : previousRadio_(BluetoothRadio::install(nullptr))
        , previousServices_(LocationServices::install(nullptr))
    {
    }

    ~UninstalledDevicesTest() override
    {
        BluetoothRadio::install(previousRadio_);
        LocationServices::install(previousServices_);
    }

    TestEnvironment env;
    StateRecorder recorder;

private:
    BluetoothRadio* previousRadio_;
    LocationServices* previousServices_;
};

} // namespace

TEST_F(UninstalledDevicesTest, BluetoothManagersReportUnsupportedLaterAndOnce)
{
    auto central = BluetoothRadio::current().makeCentralManager();
    auto peripheral = BluetoothRadio::current().makePeripheralManager();
    central->setDelegate(&recorder);
    peripheral->setDelegate(&recorder);
    EXPECT_EQ(central->state(), ManagerState::unknown);
    EXPECT_TRUE(recorder.centralStates.empty()) << "reported inside the call";

    central->scanForPeripherals(std::nullopt, {});
    peripheral->startAdvertising({});
    env.runUntilIdle();

    EXPECT_EQ(recorder.centralStates, std::vector { ManagerState::unsupported });
    EXPECT_EQ(recorder.peripheralStates, std::vector { ManagerState::unsupported });
    EXPECT_FALSE(central->isScanning());
    EXPECT_FALSE(peripheral->isAdvertising());
}

TEST_F(UninstalledDevicesTest, AManagerGoneBeforeItsReportIsNotCalledBack)
{
    auto central = BluetoothRadio::current().makeCentralManager();
    auto location = LocationServices::current().makeLocationManager();
    central->setDelegate(&recorder);
    location->setDelegate(&recorder);
    central.reset();
    location.reset();
    env.runUntilIdle();
    EXPECT_TRUE(recorder.centralStates.empty());
    EXPECT_TRUE(recorder.authorizations.empty());
}

TEST_F(UninstalledDevicesTest, LocationIsRestrictedAndMonitorsNothing)
{
    auto location = LocationServices::current().makeLocationManager();
    location->setDelegate(&recorder);
    EXPECT_TRUE(recorder.authorizations.empty()) << "reported inside the call";
    location->requestAlwaysAuthorization();
    env.runUntilIdle();

    EXPECT_EQ(recorder.authorizations, std::vector { AuthorizationStatus::restricted });
    EXPECT_EQ(location->authorizationStatus(), AuthorizationStatus::restricted);
    EXPECT_FALSE(location->isMonitoringAvailableForBeaconRegions());
}
