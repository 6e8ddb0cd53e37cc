// Background running: the beacon region, the location callbacks and the
// whole wake-up cycle with a reader.
#include "card/tests/CardTestFixture.h"
#include "card/tests/ScriptedReader.h"

#include "common/LibrarySuite.h"
#include "devstack/radio/ReaderBeacon.h"
#include "lumitrex/CardError.h"

namespace lumitrex::testing {
namespace {

using platform::AuthorizationStatus;
using platform::ManagerState;

class Background : public CardTest {
protected:
    platform::SimDevice& beaconDevice = air->addDevice("beacon");
    platform::SimDevice& readerDevice = air->addDevice("reader");
    devstack::ReaderBeacon beacon { beaconDevice };
    ScriptedReader reader { readerDevice };

    Background()
    {
        beacon.start();
        reader.host();
        phone.setLocationAuthorization(AuthorizationStatus::authorizedAlways);
    }

    void simulateBeaconEntered() { air->setSignalStrength(phone, beaconDevice, -65); env.runUntilIdle(); }
    void simulateBeaconLeft() { air->setSignalStrength(phone, beaconDevice, std::nullopt); env.runUntilIdle(); }
    void simulateReaderInRange(int rssi) { air->setSignalStrength(phone, readerDevice, rssi); }
    void simulateAuthorization(AuthorizationStatus status) { phone.setLocationAuthorization(status); env.runUntilIdle(); }

    std::optional<bool> storedBackgroundMode() const
    {
        auto value = librarySuite()->objectForKey("bg_mode");
        return value && value->is<bool>() ? std::optional(*value->get<bool>()) : std::nullopt;
    }
    std::optional<platform::BeaconRegion> watchedRegion()
    {
        auto regions = location().monitoredRegions();
        return regions.empty() ? std::nullopt : std::optional(regions.front());
    }
};

TEST_F(Background, StartRefusesAnythingButAlwaysAuthorisationAndChangesNothing)
{
    const std::pair<AuthorizationStatus, CardError> cases[] = {
        { AuthorizationStatus::notDetermined, CardError::notDetermined },
        { AuthorizationStatus::restricted, CardError::restricted },
        { AuthorizationStatus::denied, CardError::denied },
        { AuthorizationStatus::authorizedWhenInUse, CardError::authorizedWhenInUse },
        { AuthorizationStatus(7), CardError::unknown },
    };
    auto& engine = makeCardWithData(true);
    for (auto [status, expected] : cases) {
        SCOPED_TRACE(int(status));
        simulateAuthorization(status);
        EXPECT_EQ(thrownBy([&] { engine.startBackgroundRunning(); }), make_error_code(expected));
        EXPECT_EQ(engine.backgroundRunner().locationStatus(), int(status));
        EXPECT_EQ(storedBackgroundMode(), std::nullopt);
        EXPECT_TRUE(location().monitoredRegions().empty());
        EXPECT_FALSE(location().isUpdatingLocation());
        EXPECT_FALSE(central().isScanning());
    }
}

TEST_F(Background, StartWithBluetoothOffWatchesTheRegionAndScansOncePoweredOn)
{
    phone.setBluetoothState(ManagerState::poweredOff);
    auto& engine = makeCardWithData(true);
    EXPECT_TRUE(engine.startBackgroundRunning());
    EXPECT_EQ(storedBackgroundMode(), true);
    EXPECT_TRUE(location().isUpdatingLocation());
    ASSERT_TRUE(watchedRegion());
    EXPECT_EQ(*watchedRegion(), (platform::BeaconRegion { devstack::ReaderBeacon::kProximityUUID, 1, 2, "MYBEACON", true, true, true }));
    EXPECT_EQ(location().rangedRegions().size(), 1u);
    EXPECT_EQ(location().monitoringStartCount(), 2);
    EXPECT_FALSE(central().isScanning());

    simulateBluetoothState(ManagerState::poweredOn);
    EXPECT_TRUE(central().isScanning());
    EXPECT_TRUE(engine.readerConnector().scanIsWanted());

    // Again: everything is asked for anew, but a running scan is not restarted.
    engine.startBackgroundRunning();
    EXPECT_EQ(location().monitoringStartCount(), 4);
    EXPECT_EQ(central().scanStartCount(), 1);
}

TEST_F(Background, MonitoringUnavailableLeavesTheFlagsAlone)
{
    phone.setMonitoringAvailable(false);
    auto& engine = makeCardWithData(true);
    engine.startBackgroundRunning();
    EXPECT_EQ(location().monitoringStartCount(), 1);
    EXPECT_FALSE(watchedRegion()->notifyEntryStateOnDisplay);
}

TEST_F(Background, StopDuringAConnectionCancelsItAndNothingRescans)
{
    simulateReaderInRange(-60);
    auto& engine = makeCardWithData(true);
    engine.startBackgroundRunning();
    env.fastForwardBy(30ms);
    ASSERT_TRUE(central().isConnectedTo(readerDevice));

    engine.stopBackgroundRunning();
    EXPECT_EQ(storedBackgroundMode(), false);
    EXPECT_FALSE(engine.readerConnector().scanIsWanted());
    EXPECT_FALSE(central().isConnectedTo(readerDevice));
    EXPECT_FALSE(location().isUpdatingLocation());
    EXPECT_TRUE(location().monitoredRegions().empty());
    EXPECT_TRUE(location().rangedRegions().empty());
    int scans = central().scanStartCount();
    env.fastForwardBy(10s);
    EXPECT_EQ(central().scanStartCount(), scans);
}

TEST_F(Background, LocationCallbacksWakeTheScanOnlyWhenTheyShould)
{
    auto& engine = makeCardWithData(true);
    const auto& region = engine.beaconWatcher().region();

    engine.beaconWatcher().locationManagerDidEnterRegion(location(), region);
    EXPECT_FALSE(central().isScanning()) << "background mode is off";
    engine.beaconWatcher().locationManagerDidRangeBeacons(location(), {}, region);
    EXPECT_EQ(central().scanStartCount(), 0);

    platform::Beacon seen { devstack::ReaderBeacon::kProximityUUID, 1, 2, platform::BeaconProximity::far, -80 };
    engine.beaconWatcher().locationManagerDidRangeBeacons(location(), { seen }, region);
    engine.beaconWatcher().locationManagerDidRangeBeacons(location(), { seen }, region);
    EXPECT_EQ(central().scanStartCount(), 2) << "a ranged beacon starts the scan even while one runs";

    central().stopScan();
    librarySuite()->setBool("bg_mode", true);
    engine.beaconWatcher().locationManagerDidEnterRegion(location(), region);
    EXPECT_EQ(central().scanStartCount(), 3);
}

TEST_F(Background, AuthorisationBecomingAlwaysWatchesTheRegionAgainInBackgroundMode)
{
    phone.setLocationAuthorization(AuthorizationStatus::notDetermined);
    librarySuite()->setBool("bg_mode", true);
    makeCardWithData(true);
    EXPECT_TRUE(location().monitoredRegions().empty());

    simulateAuthorization(AuthorizationStatus::authorizedWhenInUse);
    EXPECT_TRUE(location().monitoredRegions().empty());
    simulateAuthorization(AuthorizationStatus::authorizedAlways);
    ASSERT_TRUE(watchedRegion());
    EXPECT_TRUE(watchedRegion()->notifyOnEntry && watchedRegion()->notifyOnExit && watchedRegion()->notifyEntryStateOnDisplay);
}

TEST_F(Background, TheBeaconWakesTheCardWhichWritesToTheReaderInRounds)
{
    auto& engine = makeCardWithData(true);
    engine.startBackgroundRunning();
    env.fastForwardBy(5s);
    EXPECT_TRUE(location().rangedRegions().empty()) << "outside the region, ranging stops";
    int scans = central().scanStartCount();

    simulateBeaconEntered();
    ASSERT_EQ(location().rangedRegions().size(), 1u);
    env.fastForwardBy(1s);
    EXPECT_EQ(central().scanStartCount(), scans + 1) << "the ranged beacon restarted the scan";

    simulateReaderInRange(-60);
    env.fastForwardBy(100ms);
    ASSERT_TRUE(central().isConnectedTo(readerDevice) || central().isConnectingTo(readerDevice));
    for (int ms = 0; ms < 3000 && engine.readerConnector().discoveredPeripheral(); ++ms)
        env.fastForwardBy(1ms);
    ASSERT_FALSE(engine.readerConnector().discoveredPeripheral());
    EXPECT_EQ(engine.readerConnector().sendCount(), 21) << "cancelled after the 21st round";
    auto firstWrites = std::count_if(reader.writes.begin(), reader.writes.end(), [](const auto& write) { return write.first == kFirstCharacteristic; });
    EXPECT_GE(firstWrites, 21);
    EXPECT_EQ(engine.readerConnector().rssiHelper().history().size(), 1u) << "nothing learned";

    // Inside the region every ranging report restarts the scan, so the cycle comes round again.
    auto writes = reader.writes.size();
    env.fastForwardBy(3s);
    EXPECT_GT(reader.writes.size(), writes);

    simulateBeaconLeft();
    EXPECT_TRUE(location().rangedRegions().empty());
}

} // namespace
} // namespace lumitrex::testing
