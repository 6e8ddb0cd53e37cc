// A phone with valid card data at the simulated door, in both modes.
#include "card/tests/CardTestFixture.h"

#include "common/LibrarySuite.h"
#include "devstack/radio/DoorReader.h"
#include "devstack/radio/ReaderBeacon.h"

namespace lumitrex::testing {
namespace {

using devstack::AccessDecision;
using devstack::DoorReader;

class AtTheDoor : public CardTest {
protected:
    platform::SimDevice& readerDevice = air->addDevice("door");

    std::unique_ptr<DoorReader> installReader(DoorReader::Mode mode, std::string cardKey = siteCardKey())
    {
        auto reader = std::make_unique<DoorReader>(readerDevice, DoorReader::Configuration { cardKey, kCardNumber, mode });
        reader->start();
        air->setSignalStrength(phone, readerDevice, -55);
        return reader;
    }

    static std::size_t count(const std::vector<AccessDecision>& decisions, bool granted)
    {
        return std::count_if(decisions.begin(), decisions.end(), [&](const auto& d) { return d.granted == granted; });
    }
};

TEST_F(AtTheDoor, AdvertisingCardOpensTheDoorAndAReplayAMinuteLaterIsRefused)
{
    auto reader = installReader(DoorReader::Mode::advertising);
    auto& engine = makeCardWithData();
    engine.startAdvertising();
    env.fastForwardBy(2s);
    engine.stopAdvertising();

    ASSERT_FALSE(reader->decisions().empty());
    EXPECT_EQ(count(reader->decisions(), false), 0u);
    EXPECT_EQ(reader->decisions().front().cardNumber, kCardNumber);
    EXPECT_EQ(reader->decisions().front().channel, AccessDecision::Channel::advertisement);
    EXPECT_EQ(console.front(), "DoorReader door: granted card 1234567890123456 via advertisement");

    // Someone recorded the pair and plays it back a minute later.
    env.fastForwardBy(1min);
    auto& replayer = air->addDevice("replayer");
    air->setSignalStrength(replayer, readerDevice, -50);
    auto decided = reader->decisions().size();
    replayer.advertise(advertised[advertised.size() - 2]);
    env.fastForwardBy(300ms);
    replayer.advertise(advertised.back());
    env.fastForwardBy(300ms);

    ASSERT_EQ(reader->decisions().size(), decided + 1);
    const auto& refusal = reader->decisions().back();
    EXPECT_FALSE(refusal.granted);
    EXPECT_NE(refusal.reason.find("off the reader's clock"), std::string::npos) << refusal.reason;
}

TEST_F(AtTheDoor, ConnectedCardOpensTheDoorAndTheReaderHangsUp)
{
    auto reader = installReader(DoorReader::Mode::connection);
    phone.setLocationAuthorization(platform::AuthorizationStatus::authorizedAlways);
    auto& engine = makeCardWithData(true);
    engine.startBackgroundRunning();
    env.fastForwardBy(500ms);

    ASSERT_EQ(reader->decisions().size(), 1u);
    EXPECT_TRUE(reader->decisions().front().granted) << reader->decisions().front().reason;
    EXPECT_EQ(reader->decisions().front().channel, AccessDecision::Channel::connection);
    EXPECT_FALSE(central().isConnectedTo(readerDevice));
    EXPECT_FALSE(engine.readerConnector().connectCheckFlag());

    env.fastForwardBy(4s);
    EXPECT_EQ(count(reader->decisions(), true), 2u) << "the rescan opens it again";
}

TEST_F(AtTheDoor, ReaderOfAnotherSiteRefusesTheCard)
{
    auto reader = installReader(DoorReader::Mode::advertising, devstack::ReaderCrypto::makeCardKey("ffeeddccbbaa99887766554433221100"));
    auto& engine = makeCardWithData();
    engine.startAdvertising();
    env.fastForwardBy(1s);

    ASSERT_FALSE(reader->decisions().empty());
    EXPECT_EQ(count(reader->decisions(), true), 0u);
    EXPECT_EQ(reader->decisions().front().reason, "second identifier does not match the card");
}

} // namespace
} // namespace lumitrex::testing
