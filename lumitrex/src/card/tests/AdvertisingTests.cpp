// The peripheral role: the 0.3 s tick and its identifiers.
#include "card/tests/CardTestFixture.h"

#include "lumitrex/CardError.h"

namespace lumitrex::testing {
namespace {

using platform::AdvertisementData;
using platform::BluetoothUUID;
using platform::ManagerState;

// Starts 0.2 s before a second turns, so the ticks cross second boundaries.
class Advertising : public CardTest {
protected:
    Advertising()
        : CardTest(platform::TestEnvironment::defaultStart() + 800ms)
    {
    }

    PacketPair packetsAt(const char* timestamp) const
    {
        return buildAdvertisingPackets(*card->cardData().uid(), *card->cardData().mid(), *card->cardData().mobileKey(), timestamp);
    }

    static AdvertisementData first(const PacketPair& packets) { return { "Vond1", { *BluetoothUUID::fromData(packets.first) } }; }
    static AdvertisementData second(const PacketPair& packets) { return { "Vond2", { *BluetoothUUID::fromData(packets.second) } }; }
};

TEST_F(Advertising, TicksAlternateTheIdentifiersEachBuiltOneTickEarlier)
{
    auto& engine = makeCardWithData();
    ASSERT_TRUE(engine.startAdvertising());
    EXPECT_EQ(engine.advertiser().firstIdentifier(), *BluetoothUUID::fromData(packetsAt("20240506134507").first)) << "built at start";
    EXPECT_FALSE(engine.isAdvertising());

    env.fastForwardBy(299ms);
    EXPECT_TRUE(advertised.empty());
    env.fastForwardBy(1ms);
    EXPECT_TRUE(engine.isAdvertising());
    env.fastForwardBy(1200ms);

    // Ticks at :08.1, :08.4, :08.7, :09.0 and :09.3.
    std::vector<AdvertisementData> expected { first(packetsAt("20240506134507")), second(packetsAt("20240506134508")),
        first(packetsAt("20240506134508")), second(packetsAt("20240506134508")), first(packetsAt("20240506134509")) };
    EXPECT_EQ(advertised, expected);
    EXPECT_NE(expected[0], expected[2]);
    EXPECT_EQ(engine.advertiser().secondIdentifier(), *BluetoothUUID::fromData(packetsAt("20240506134509").second)) << "rebuilt by the last tick";
}

TEST_F(Advertising, StopEndsTheTicksAndARestartGoesOnWithTheIdentifierThatIsDue)
{
    auto& engine = makeCardWithData();
    engine.startAdvertising();
    env.fastForwardBy(900ms);
    ASSERT_EQ(advertised.size(), 3u);

    engine.stopAdvertising();
    EXPECT_FALSE(engine.isAdvertising());
    EXPECT_FALSE(phone.advertisement());
    EXPECT_TRUE(phone.publishedServices().empty());
    env.fastForwardBy(2s);
    EXPECT_EQ(advertised.size(), 3u);

    engine.startAdvertising();
    env.fastForwardBy(300ms);
    ASSERT_EQ(advertised.size(), 4u);
    EXPECT_EQ(advertised.back().localName, "Vond2");
}

TEST_F(Advertising, StartRefusesBluetoothThatIsNotPoweredOn)
{
    struct Case {
        ManagerState state;
        std::optional<CardError> expected;
    };
    const Case cases[] = {
        { ManagerState::resetting, CardError::resetting },
        { ManagerState::unsupported, CardError::unsupported },
        { ManagerState::unauthorized, CardError::unauthorized },
        { ManagerState::poweredOff, CardError::poweredOff },
        { ManagerState(6), std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.state));
        phone.setBluetoothState(c.state);
        auto& engine = makeCardWithData();
        bool started = true;
        auto error = thrownBy([&] { started = engine.startAdvertising(); });
        if (c.expected)
            EXPECT_EQ(error, make_error_code(*c.expected));
        else
            EXPECT_FALSE(error || started);
        EXPECT_FALSE(engine.advertiser().timer());
    }

    // Right after start-up the manager has not looked at the radio yet.
    phone.setBluetoothState(ManagerState::poweredOn);
    card = MobileCardEngine::create();
    EXPECT_EQ(thrownBy([&] { card->startAdvertising(); }), make_error_code(CardError::unknown));
    env.fastForwardBy(1s);
    EXPECT_TRUE(advertised.empty());
}

TEST_F(Advertising, StartWhileAdvertisingStopsTheAdvertisementAndKeepsTheTimer)
{
    auto& engine = makeCardWithData();
    engine.startAdvertising();
    env.fastForwardBy(300ms);
    auto timer = engine.advertiser().timer();
    ASSERT_TRUE(engine.isAdvertising());

    EXPECT_TRUE(engine.startAdvertising());
    EXPECT_FALSE(engine.isAdvertising());
    EXPECT_EQ(engine.advertiser().timer(), timer);
    env.fastForwardBy(300ms);
    EXPECT_TRUE(engine.isAdvertising());
    EXPECT_EQ(advertised.size(), 2u);
}

TEST_F(Advertising, TwoStartsBeforeTheFirstTickLeaveOneTimer)
{
    auto& engine = makeCardWithData();
    engine.startAdvertising();
    env.fastForwardBy(100ms);
    engine.startAdvertising();
    env.fastForwardBy(300ms);
    EXPECT_EQ(advertised.size(), 1u);
    engine.stopAdvertising();
    env.fastForwardBy(3s);
    EXPECT_EQ(advertised.size(), 1u);
    EXPECT_EQ(env.pendingTaskCount(), 0u);
}

TEST_F(Advertising, PlaceholdersAreNeverAdvertisedAndRealPacketsFollowTheCardData)
{
    auto& engine = makeCard();
    engine.startAdvertising();
    env.fastForwardBy(900ms);
    EXPECT_TRUE(advertised.empty());
    EXPECT_FALSE(engine.advertiser().secondIsDue());

    engine.setData(kCardNumber, kCardNumber, std::nullopt);
    env.fastForwardBy(300ms);
    EXPECT_TRUE(advertised.empty()) << "this tick builds the first packets";
    EXPECT_TRUE(engine.advertiser().firstIdentifier().uuidString().starts_with("0C22384E-5A0C-2238-0020-240506"));
    env.fastForwardBy(300ms);
    ASSERT_EQ(advertised.size(), 1u);
    EXPECT_EQ(advertised[0].localName, "Vond1");
}

TEST_F(Advertising, AKeyThatBreaksTheCipherChainKeepsThePreviousIdentifiers)
{
    auto& engine = makeCardWithData();
    engine.startAdvertising();
    env.fastForwardBy(300ms);
    auto previous = engine.advertiser().secondIdentifier();
    CardDataAccess::setMobileKey(engine.cardData(), "");
    env.fastForwardBy(600ms);
    EXPECT_EQ(engine.advertiser().secondIdentifier(), previous);
    EXPECT_EQ(advertised.size(), 3u);
}

TEST_F(Advertising, PowerOnPublishesTheTwoIdentifiersAsSecondaryServices)
{
    phone.setBluetoothState(ManagerState::poweredOff);
    makeCardWithData();
    EXPECT_TRUE(phone.publishedServices().empty());
    simulateBluetoothState(ManagerState::poweredOn);
    EXPECT_EQ(phone.publishedServices(), (std::vector<platform::MutableService> { { BluetoothUUID(), false }, { BluetoothUUID(), false } }));
}

} // namespace
} // namespace lumitrex::testing
