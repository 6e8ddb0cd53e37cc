// The simulated air as its users see it: managers made by devices, events on
// the main queue in virtual time.
#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimCentralManager.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace platform;

namespace {

const BluetoothUUID kReaderService = *BluetoothUUID::fromString("4F535452-4556-4F4D-6F62-696C65303030");
const BluetoothUUID kFirstCharacteristic = *BluetoothUUID::fromString("4F535452-4556-4F4D-6F62-696C65303031");

struct RecordingCentral : CentralManagerDelegate, PeripheralDelegate {
    std::vector<std::string> events;
    std::vector<int> discoveredRSSI;
    std::shared_ptr<Peripheral> peripheral;
    std::optional<int> lastRSSI;

    void centralManagerDidUpdateState(CentralManager& manager) override { events.push_back("state " + std::to_string(int(manager.state()))); }
    void centralManagerDidDiscover(CentralManager&, const std::shared_ptr<Peripheral>& found, const AdvertisementData& data, int rssi) override
    {
        peripheral = found;
        discoveredRSSI.push_back(rssi);
        events.push_back("discover " + data.localName.value_or(""));
    }
    void centralManagerDidConnect(CentralManager&, const std::shared_ptr<Peripheral>&) override { events.push_back("connect"); }
    void centralManagerDidFailToConnect(CentralManager&, const std::shared_ptr<Peripheral>&, const std::optional<BluetoothError>&) override { events.push_back("fail"); }
    void centralManagerDidDisconnect(CentralManager&, const std::shared_ptr<Peripheral>&, const std::optional<BluetoothError>& error) override
    {
        events.push_back(error ? "disconnect error" : "disconnect");
    }
    void peripheralDidDiscoverServices(Peripheral& p, const std::optional<BluetoothError>&) override { events.push_back("services " + std::to_string(p.services()->size())); }
    void peripheralDidDiscoverCharacteristics(Peripheral&, const std::shared_ptr<Service>& service, const std::optional<BluetoothError>&) override
    {
        events.push_back("characteristics " + std::to_string(service->characteristics()->size()));
    }
    void peripheralDidWriteValue(Peripheral&, const std::shared_ptr<Characteristic>&, const std::optional<BluetoothError>& error) override
    {
        events.push_back(error ? "write refused" : "write acknowledged");
    }
    void peripheralDidReadRSSI(Peripheral&, int rssi, const std::optional<BluetoothError>&) override { lastRSSI = rssi; }
};

struct RecordingServer : SimGattServer {
    std::vector<std::vector<std::uint8_t>> writes;
    int links = 0;
    void linkOpened(SimDevice&) override { ++links; }
    void linkClosed(SimDevice&) override { --links; }
    std::optional<BluetoothError> didReceiveWrite(SimDevice&, const BluetoothUUID&, const std::vector<std::uint8_t>& value) override
    {
        writes.push_back(value);
        return std::nullopt;
    }
};

class SimAirTest : public ::testing::Test {
protected:
    TestEnvironment env;
    std::shared_ptr<SimAir> air = SimAir::make();
    SimDevice& phone = air->addDevice("phone");
    SimDevice& reader = air->addDevice("reader");
    RecordingCentral recorder;
    RecordingServer server;

    std::unique_ptr<CentralManager> makeScanner()
    {
        auto central = phone.makeCentralManager();
        central->setDelegate(&recorder);
        env.runUntilIdle();
        recorder.events.clear();
        return central;
    }

    void hostReader()
    {
        reader.hostGattServer({ SimGattService { kReaderService, true,
                                  { { kFirstCharacteristic, characteristicPropertyWrite }, { BluetoothUUID(), characteristicPropertyRead } } } },
            &server);
        reader.advertise(AdvertisementData { "Reader", { kReaderService } });
    }

    std::unique_ptr<CentralManager> connectToReader()
    {
        hostReader();
        air->setSignalStrength(phone, reader, -60);
        auto central = makeScanner();
        central->scanForPeripherals(std::vector { kReaderService }, {});
        env.runUntilIdle();
        central->stopScan();
        recorder.peripheral->setDelegate(&recorder);
        central->connect(recorder.peripheral);
        env.fastForwardBy(air->timing().connectionDelay);
        return central;
    }
};

} // namespace

TEST_F(SimAirTest, ManagersReportUnknownUntilTheyHaveLookedAtTheRadio)
{
    auto central = phone.makeCentralManager();
    central->setDelegate(&recorder);
    EXPECT_EQ(central->state(), ManagerState::unknown);
    env.runUntilIdle();
    EXPECT_EQ(central->state(), ManagerState::poweredOn);

    auto advertiser = reader.makePeripheralManager();
    env.runUntilIdle();
    advertiser->startAdvertising({ "Vond1", {} });
    EXPECT_TRUE(advertiser->isAdvertising());
    reader.setBluetoothState(ManagerState::poweredOff);
    EXPECT_FALSE(reader.advertisement());
    env.runUntilIdle();
    EXPECT_FALSE(advertiser->isAdvertising());
    EXPECT_EQ(recorder.events, (std::vector<std::string> { "state 5" }));

    phone.setBluetoothState(ManagerState(9));
    env.runUntilIdle();
    EXPECT_EQ(int(central->state()), 9);
    EXPECT_EQ(recorder.events.back(), "state 9");
}

TEST_F(SimAirTest, ScansHearAdvertisersInRangeThatMatchTheFilter)
{
    auto advertiser = reader.makePeripheralManager();
    auto central = makeScanner();
    advertiser->startAdvertising({ "Reader", { kReaderService } });

    central->scanForPeripherals(std::vector { kReaderService }, { .allowDuplicates = true });
    env.fastForwardBy(1s);
    EXPECT_TRUE(recorder.events.empty()) << "out of range";

    air->setSignalStrength(phone, reader, -64);
    env.fastForwardBy(250ms);
    EXPECT_GE(recorder.discoveredRSSI.size(), 3u);
    EXPECT_EQ(recorder.discoveredRSSI.front(), -64);

    recorder.events.clear();
    advertiser->startAdvertising({ "Other", { kFirstCharacteristic } });
    env.fastForwardBy(1s);
    EXPECT_TRUE(recorder.events.empty()) << "filtered out";

    advertiser->startAdvertising({ "Reader", { kReaderService } });
    central->scanForPeripherals(std::nullopt, { .allowDuplicates = false });
    env.fastForwardBy(1s);
    EXPECT_EQ(recorder.events, (std::vector<std::string> { "discover Reader" })) << "heard once without duplicates";

    central->stopScan();
    recorder.events.clear();
    env.fastForwardBy(1s);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(SimAirTest, ConnectedCentralDiscoversAndWritesWithResponse)
{
    auto central = connectToReader();
    EXPECT_EQ(recorder.events.back(), "connect");
    EXPECT_EQ(server.links, 1);
    EXPECT_EQ(recorder.peripheral->identifier(), reader.identifier());

    recorder.peripheral->discoverServices(std::vector { kReaderService });
    env.fastForwardBy(air->timing().requestDelay);
    ASSERT_EQ(recorder.events.back(), "services 1");
    auto service = recorder.peripheral->services()->front();
    recorder.peripheral->discoverCharacteristics(std::nullopt, service);
    recorder.peripheral->readRSSI();
    env.fastForwardBy(air->timing().requestDelay);
    ASSERT_EQ(recorder.events.back(), "characteristics 2");
    EXPECT_EQ(recorder.lastRSSI, -60);

    recorder.peripheral->writeValue({ 1, 2, 3 }, service->characteristics()->front(), WriteType::withResponse);
    recorder.peripheral->writeValue({ 4 }, service->characteristics()->front(), WriteType::withoutResponse);
    env.fastForwardBy(air->timing().requestDelay);
    EXPECT_EQ(server.writes, (std::vector<std::vector<std::uint8_t>> { { 1, 2, 3 }, { 4 } }));
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "write acknowledged"), 1);

    central->cancelPeripheralConnection(recorder.peripheral);
    recorder.peripheral->readRSSI();
    recorder.lastRSSI.reset();
    env.fastForwardBy(1s);
    EXPECT_EQ(recorder.events.back(), "disconnect");
    EXPECT_EQ(server.links, 0);
    EXPECT_FALSE(recorder.lastRSSI) << "requests on a closed link are dropped";
}

TEST_F(SimAirTest, ScriptedFailuresAndDroppedLinksReachTheDelegate)
{
    reader.failNextConnections(1);
    auto central = connectToReader();
    EXPECT_EQ(recorder.events.back(), "fail");

    central->connect(recorder.peripheral);
    env.fastForwardBy(air->timing().connectionDelay);
    EXPECT_EQ(recorder.events.back(), "connect");

    air->setSignalStrength(phone, reader, std::nullopt);
    env.runUntilIdle();
    EXPECT_EQ(recorder.events.back(), "disconnect error");
    EXPECT_FALSE(static_cast<SimCentralManager&>(*central).isConnectedTo(reader));

    central->connect(recorder.peripheral);
    env.fastForwardBy(air->timing().connectionDelay);
    EXPECT_EQ(recorder.events.back(), "fail") << "out of range";
}

TEST_F(SimAirTest, EventsForADestroyedManagerAreDropped)
{
    auto central = connectToReader();
    recorder.peripheral->readRSSI();
    central->cancelPeripheralConnection(recorder.peripheral);
    central.reset();
    recorder.events.clear();
    env.fastForwardBy(1s);
    EXPECT_TRUE(recorder.events.empty());
}
