// The central role: signal gate, connection, write rounds, abandons, rescans
// and learning, against a scripted reader.
#include "card/tests/CardTestFixture.h"
#include "card/tests/ScriptedReader.h"

#include "common/LibrarySuite.h"
#include "lumitrex/CardError.h"
#include "platform/foundation/UserDefaults.h"

namespace lumitrex::testing {
namespace {

using platform::ManagerState;
using platform::PlistValue;
using platform::SimGattService;

class ReaderConnection : public CardTest {
protected:
    platform::SimDevice& readerDevice = air->addDevice("reader");
    ScriptedReader reader { readerDevice };

    PlistValue storedHistory() { return platform::UserDefaults::standard().objectForKey("rsscheck").value_or(PlistValue::Array {}); }

    // A card in background mode, in range of the reader, with the phone
    // powered on: the power-on callback starts the scan.
    MobileCardEngine& makeBackgroundCard(int rssi, MobileCard::Proximity proximity = MobileCard::Proximity::near)
    {
        librarySuite()->setBool("bg_mode", true);
        librarySuite()->setInteger("proximityLevel", static_cast<int>(proximity));
        air->setSignalStrength(phone, readerDevice, rssi);
        return makeCardWithData(true);
    }

    bool runUntilConnected()
    {
        for (int ms = 0; ms < 2000 && !central().isConnectedTo(readerDevice); ++ms)
            env.fastForwardBy(1ms);
        return central().isConnectedTo(readerDevice);
    }

    // Steps to the moment the link goes down, so that delays can be measured from it.
    bool runUntilDisconnected()
    {
        for (int ms = 0; ms < 10000 && card->readerConnector().discoveredPeripheral(); ++ms)
            env.fastForwardBy(1ms);
        return !card->readerConnector().discoveredPeripheral();
    }
};

TEST_F(ReaderConnection, SignalGateUsesTheReadersThresholdAndTheProximityLevel)
{
    reader.host();
    struct Case {
        int rssi;
        MobileCard::Proximity proximity;
        bool connects;
    };
    const Case cases[] = {
        { -71, MobileCard::Proximity::middle, true },
        { -72, MobileCard::Proximity::middle, false },
        { -70, MobileCard::Proximity::near, true },
        { -71, MobileCard::Proximity::near, false },
        { -72, MobileCard::Proximity::far, true },
        { 127, MobileCard::Proximity::far, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rssi);
        // The first advertisement is judged while the card starts up.
        makeBackgroundCard(c.rssi, c.proximity);
        EXPECT_EQ(card->readerConnector().discoveredPeripheral() != nullptr, c.connects);
        EXPECT_EQ(card->readerConnector().connectCheckFlag(), c.connects);
        EXPECT_EQ(central().isScanning(), !c.connects);
    }
    EXPECT_TRUE(central().scanOptions().allowDuplicates);
    EXPECT_TRUE(central().scanOptions().showPowerAlert);
    EXPECT_EQ(central().scanFilter(), std::vector { kReaderService });
}

TEST_F(ReaderConnection, ExtremeStoredThresholdsKeepTheirMeaning)
{
    reader.host();
    struct Case {
        std::int64_t stored;
        MobileCard::Proximity proximity;
        int rssi;
        bool connects;
    };
    // The proximity level is added to the threshold before the gate negates it.
    const Case cases[] = {
        { INT64_MIN, MobileCard::Proximity::near, -40, false },
        { INT64_MAX, MobileCard::Proximity::far, -100, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        PlistValue::Array values(10, PlistValue(c.stored));
        platform::UserDefaults::standard().setObject("rsscheck",
            PlistValue::Array { PlistValue::Dictionary { { readerDevice.identifier().uuidString(), values } } });
        makeBackgroundCard(c.rssi, c.proximity);
        EXPECT_EQ(card->readerConnector().discoveredPeripheral() != nullptr, c.connects);
    }
}

TEST_F(ReaderConnection, AnEmptyHistoryJudgesTheFirstAdvertisementAgainstSixty)
{
    reader.host();
    platform::UserDefaults::standard().setObject("rsscheck", PlistValue::Array {});
    makeBackgroundCard(-65, MobileCard::Proximity::middle);
    EXPECT_FALSE(card->readerConnector().discoveredPeripheral()) << "-65 is weaker than -61";
    env.fastForwardBy(100ms);
    EXPECT_TRUE(card->readerConnector().discoveredPeripheral()) << "the reader now has the template's threshold, 70";
}

TEST_F(ReaderConnection, TheTwentyFirstRoundCancelsAndTheRescanComesThreeSecondsAfterTheDisconnection)
{
    reader.host();
    auto& engine = makeBackgroundCard(-60);
    auto history = storedHistory();
    ASSERT_TRUE(runUntilConnected());
    auto payloads = engine.readerConnector().payloads();
    ASSERT_EQ(payloads["vond1"].size(), 16u);
    ASSERT_EQ(payloads["vond2"].size(), 16u);
    EXPECT_EQ(engine.readerConnector().discoverService(), nullptr);

    ASSERT_TRUE(runUntilDisconnected());
    EXPECT_EQ(engine.readerConnector().sendCount(), 21);
    EXPECT_EQ(central().connectionCancelCount(), 1);
    EXPECT_FALSE(engine.readerConnector().connectCheckFlag());
    EXPECT_TRUE(engine.readerConnector().discoverService());
    ASSERT_GE(reader.writes.size(), 2u);
    EXPECT_EQ(reader.writes[0], std::pair(kFirstCharacteristic, payloads["vond1"]));
    EXPECT_EQ(reader.writes[1], std::pair(kSecondCharacteristic, payloads["vond2"]));
    EXPECT_EQ(storedHistory(), history) << "a long connection teaches nothing";
    EXPECT_EQ(engine.readerConnector().currentRssi(), 0);
    EXPECT_EQ(engine.readerConnector().currentDevice(), "");

    int scans = central().scanStartCount();
    env.fastForwardBy(2999ms);
    EXPECT_EQ(central().scanStartCount(), scans);
    env.fastForwardBy(1ms);
    EXPECT_EQ(central().scanStartCount(), scans + 1);
}

TEST_F(ReaderConnection, AReaderThatHangsUpEarlyTeachesItsSignal)
{
    reader.host();
    reader.hangUpAfterFirstWrites(2);
    auto& engine = makeBackgroundCard(-52);
    ASSERT_TRUE(runUntilConnected());
    ASSERT_TRUE(runUntilDisconnected());
    EXPECT_EQ(engine.readerConnector().sendCount(), 2);
    auto learned = engine.readerConnector().rssiHelper().history().back();
    EXPECT_EQ(learned.begin()->first, readerDevice.identifier().uuidString());
    EXPECT_EQ(learned.begin()->second.front(), 75) << "25 + 52 = 77, clamped";
    EXPECT_EQ(storedHistory().get<PlistValue::Array>()->size(), 2u);
}

struct LayoutCase {
    const char* label;
    std::vector<SimGattService> layout;
    // Nothing: the link is left alone.
    std::optional<platform::Duration> abandonedAfterServices;
};

TEST_F(ReaderConnection, ReadersWithoutTheRightLayoutAreAbandonedOrLeftAlone)
{
    const auto write = platform::characteristicPropertyWrite;
    const auto read = platform::characteristicPropertyRead;
    const auto unrelated = *platform::BluetoothUUID::fromString("00000000-0000-0000-0000-0000000000AA");
    const LayoutCase cases[] = {
        { "no reader service", { { unrelated, true, {} } }, 50ms },
        { "no characteristics", { { kReaderService, true, {} } }, 1s + 30ms },
        { "one characteristic", { { kReaderService, true, { { kFirstCharacteristic, write } } } }, std::nullopt },
        { "second not writable", { { kReaderService, true, { { kFirstCharacteristic, write }, { kSecondCharacteristic, read } } } }, std::nullopt },
        { "neither is ours", { { kReaderService, true, { { unrelated, write }, { unrelated, write } } } }, 80ms },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        reader.host(c.layout);
        makeBackgroundCard(-60);
        ASSERT_TRUE(runUntilConnected());
        // Services come 5 ms after the connection, characteristics 30 ms after them.
        env.fastForwardBy(5ms);
        if (c.abandonedAfterServices) {
            env.fastForwardBy(*c.abandonedAfterServices - 1ms);
            EXPECT_TRUE(central().isConnectedTo(readerDevice));
            env.fastForwardBy(1ms);
            EXPECT_FALSE(central().isConnectedTo(readerDevice));
            EXPECT_EQ(card->readerConnector().sendCount(), 20);
        } else {
            env.fastForwardBy(5s);
            EXPECT_TRUE(central().isConnectedTo(readerDevice));
            EXPECT_EQ(env.pendingTaskCount(), 0u) << "nothing scheduled";
        }
        EXPECT_TRUE(reader.writes.empty());
    }
}

TEST_F(ReaderConnection, PayloadsAreWrittenWhenAtLeastOneIsWhole)
{
    reader.host();
    // Without card data the payloads are 8 and 0 bytes: abandoned at once.
    librarySuite()->setBool("bg_mode", true);
    air->setSignalStrength(phone, readerDevice, -60);
    makeCard(true);
    ASSERT_TRUE(runUntilConnected());
    ASSERT_TRUE(runUntilDisconnected());
    EXPECT_TRUE(reader.writes.empty());
    EXPECT_EQ(central().connectionCancelCount(), 1);

    // A refused mobile key leaves "vond2" empty; both are written all the same.
    card->setData(kCardNumber, kCardNumber, std::nullopt);
    CardDataAccess::setMobileKey(card->cardData(), "");
    env.fastForwardBy(3s);
    ASSERT_TRUE(runUntilConnected());
    env.fastForwardBy(100ms);
    ASSERT_GE(reader.writes.size(), 2u);
    EXPECT_EQ(reader.writes[0].second.size(), 16u);
    EXPECT_EQ(reader.writes[1], std::pair(kSecondCharacteristic, std::vector<std::uint8_t> {}));
}

TEST_F(ReaderConnection, AFailedConnectionRescansOneSecondLater)
{
    reader.host();
    readerDevice.failNextConnections(1);
    auto& engine = makeBackgroundCard(-60);
    env.fastForwardBy(30ms);
    EXPECT_FALSE(engine.readerConnector().connectCheckFlag());
    EXPECT_TRUE(engine.readerConnector().discoveredPeripheral()) << "kept after a failure";
    EXPECT_FALSE(central().isScanning());
    env.fastForwardBy(999ms);
    EXPECT_EQ(central().scanStartCount(), 1);
    env.fastForwardBy(1ms);
    EXPECT_EQ(central().scanStartCount(), 2);
}

TEST_F(ReaderConnection, PowerOnWithoutBackgroundModeCancelsTheReaderAndStopsScanning)
{
    reader.host();
    auto& engine = makeBackgroundCard(-60);
    ASSERT_TRUE(runUntilConnected());
    librarySuite()->setBool("bg_mode", false);
    engine.readerConnector().centralManagerDidUpdateState(central());
    env.runUntilIdle();
    EXPECT_FALSE(engine.readerConnector().scanIsWanted());
    EXPECT_FALSE(central().isConnectedTo(readerDevice));
    EXPECT_FALSE(central().isScanning());
    env.fastForwardBy(10s);
    EXPECT_FALSE(central().isScanning()) << "no rescan once scanning is no longer wanted";
}

TEST_F(ReaderConnection, ScanRefusesACentralThatIsNotPoweredOn)
{
    auto& engine = makeCard(true);
    for (auto [state, expected] : { std::pair(ManagerState::poweredOff, CardError::poweredOff), std::pair(ManagerState(6), CardError::etc) }) {
        simulateBluetoothState(state);
        EXPECT_EQ(thrownBy([&] { engine.readerConnector().startScan(); }), make_error_code(expected));
        EXPECT_FALSE(engine.readerConnector().scanIsWanted());
    }
}

} // namespace
} // namespace lumitrex::testing
