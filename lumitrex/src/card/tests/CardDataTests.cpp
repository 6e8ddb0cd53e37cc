// Start-up, card data and the proximity setting of the engine.
#include "card/tests/CardTestFixture.h"

#include "common/LibrarySuite.h"
#include "lumitrex/DataError.h"
#include "lumitrex/KeyError.h"
#include "platform/foundation/UserDefaults.h"

namespace lumitrex::testing {
namespace {

using Card = CardTest;

struct BadDataCase {
    const char* label;
    std::optional<std::string> uid;
    std::optional<std::string> mid;
    DataError expected;
};

TEST_F(Card, SetDataRefusesBadNumbersInItsOrderAndChangesNothing)
{
    const std::string good = kCardNumber;
    const BadDataCase cases[] = {
        { "uid of 15", "123456789012345", good, DataError::invalidDataSize },
        { "mid of 17", good, "12345678901234567", DataError::invalidDataSize },
        { "uid absent", std::nullopt, good, DataError::invalidDataSize },
        { "mid absent", good, std::nullopt, DataError::invalidDataSize },
        { "size before format", "123456789012345G", "123", DataError::invalidDataSize },
        { "uid with A", "123456789012345A", good, DataError::invalidDataNumberFormat },
        { "uid with G", "123456789012345G", good, DataError::invalidDataFormat },
        { "uid format before mid format", "123456789012345A", "000000000000000G", DataError::invalidDataNumberFormat },
        { "mid with G", good, "000000000000000G", DataError::invalidDataFormat },
        { "trailing line break", "123456789012345\n", good, DataError::invalidDataFormat },
        { "accented letter counts once", "12345678901234\xC3\xA9" "5", good, DataError::invalidDataFormat },
        { "combining accent counts once", "123456789012345e\xCC\x81", good, DataError::invalidDataFormat },
        { "other script digits", "\xE0\xA5\xA7\xE0\xA5\xA8\xE0\xA5\xA9\xE0\xA5\xAA\xE0\xA5\xA7\xE0\xA5\xA8\xE0\xA5\xA9\xE0\xA5\xAA"
                                 "\xE0\xA5\xA7\xE0\xA5\xA8\xE0\xA5\xA9\xE0\xA5\xAA\xE0\xA5\xA7\xE0\xA5\xA8\xE0\xA5\xA9\xE0\xA5\xAA",
            good, DataError::invalidDataFormat },
    };
    auto& engine = makeCard();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(thrownBy([&] { engine.setData(c.uid, c.mid, std::nullopt); }), make_error_code(c.expected));
        EXPECT_FALSE(engine.cardData().uid());
        EXPECT_FALSE(engine.cardData().mid());
        EXPECT_FALSE(engine.cardData().mobileKey());
    }
}

TEST_F(Card, SetDataStoresTheCardNumberInHexAndTheSiteNumberUnchanged)
{
    auto& engine = makeCard();
    EXPECT_TRUE(engine.setData(kCardNumber, "00aaBBccDDeeff11", std::nullopt));
    EXPECT_EQ(engine.cardData().uid(), "0C22384E5A0C2238");
    EXPECT_EQ(engine.cardData().mid(), "00aaBBccDDeeff11");
    ASSERT_TRUE(engine.cardData().mobileKey());
    EXPECT_EQ(engine.cardData().mobileKey()->size(), 32u);
    EXPECT_EQ(engine.cardData().mobileKey()->find_first_not_of("0123456789abcdef"), std::string::npos);

    // The host passes its card value as both numbers.
    EXPECT_TRUE(engine.setData(kCardNumber, kCardNumber, std::nullopt));
    EXPECT_EQ(engine.cardData().mid(), kCardNumber);
    EXPECT_FALSE(engine.advertiser().firstIdentifier().uuidString().starts_with("0C22")) << "identifiers wait for the next build";
}

struct KeySourceCase {
    const char* label;
    std::optional<std::string> configured;
    std::optional<std::string> given;
    std::optional<KeyError> expected;
    // A missing or duplicate key still replaces card and site number; a key
    // that is there but unusable changes nothing at all.
    bool replacesNumbers = true;
};

TEST_F(Card, TheCardKeyComesFromExactlyOneSource)
{
    const std::string key = siteCardKey();
    const std::string shortKey = devstack::ReaderCrypto::makeCardKey("00112233445566778899");
    const std::string notHex = devstack::ReaderCrypto::makeCardKey("this text is not a hex card key!");
    const std::string empty = devstack::ReaderCrypto::makeCardKey("");
    const KeySourceCase cases[] = {
        { "configured and given", key, key, KeyError::duplicate },
        { "configured, given empty", key, "", std::nullopt },
        { "configured only", key, std::nullopt, std::nullopt },
        { "neither", std::nullopt, std::nullopt, KeyError::notFound },
        { "given empty only", std::nullopt, "", KeyError::notFound },
        { "given only", std::nullopt, key, std::nullopt },
        { "configured does not decrypt, given", "not base64", key, std::nullopt },
        { "given does not decrypt", std::nullopt, "bm90IGEga2V5", KeyError::notFound, false },
        { "given decrypts to 20 hex digits", std::nullopt, shortKey, KeyError::notFound, false },
        { "given decrypts to text that is not hex", std::nullopt, notHex, KeyError::notFound, false },
        { "given decrypts to nothing", std::nullopt, empty, KeyError::notFound, false },
        { "configured decrypts to 20 hex digits", shortKey, std::nullopt, KeyError::notFound, false },
        { "configured decrypts to text that is not hex", notHex, std::nullopt, KeyError::notFound, false },
        { "configured decrypts to nothing", empty, std::nullopt, KeyError::notFound, false },
        { "configured does not decrypt", "bm90IGEga2V5", std::nullopt, KeyError::notFound, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.configured)
            env.setInfoValue("Mobile Card Key", *c.configured);
        else
            env.removeInfoValue("Mobile Card Key");
        auto& engine = makeCard();
        CardDataAccess::replace(engine.cardData(), "previous uid", "previous mid", "previous");

        auto error = thrownBy([&] { EXPECT_TRUE(engine.setData(kCardNumber, "0000000000000000", c.given)); });
        if (c.expected) {
            EXPECT_EQ(error, make_error_code(*c.expected));
            EXPECT_EQ(engine.cardData().mobileKey(), "previous");
        } else {
            EXPECT_FALSE(error);
            EXPECT_EQ(engine.cardData().mobileKey()->size(), 32u);
        }
        EXPECT_EQ(engine.cardData().uid(), c.replacesNumbers ? "0C22384E5A0C2238" : "previous uid");
        EXPECT_EQ(engine.cardData().mid(), c.replacesNumbers ? "0000000000000000" : "previous mid");
    }
}

TEST_F(Card, ProximityLevelIsKeptInTheLibrarySuite)
{
    auto& engine = makeCard();
    EXPECT_EQ(engine.proximityLevel(), MobileCard::Proximity::near);
    engine.setProximityLevel(MobileCard::Proximity::middle);
    EXPECT_EQ(librarySuite()->integerForKey("proximityLevel"), 1);
    EXPECT_EQ(engine.proximityLevel(), MobileCard::Proximity::middle);
    EXPECT_EQ(platform::UserDefaults::standard().objectForKey("proximityLevel"), std::nullopt);

    for (int stored : { 5, -1 }) {
        librarySuite()->setInteger("proximityLevel", stored);
        EXPECT_EQ(engine.proximityLevel(), MobileCard::Proximity::near) << stored;
    }
    EXPECT_EQ(MobileCard::proximityFromRawValue(2), MobileCard::Proximity::far);
    EXPECT_EQ(MobileCard::proximityFromRawValue(3), std::nullopt);
    EXPECT_EQ(MobileCard::proximityFromRawValue(-1), std::nullopt);
}

TEST_F(Card, OnlyABackgroundSwitchThatIsTrueWiresTheCentralAndLocationManagers)
{
    for (auto value : { std::optional<platform::PlistValue>(), std::optional<platform::PlistValue>(false),
             std::optional<platform::PlistValue>("YES"), std::optional<platform::PlistValue>(1) }) {
        if (value)
            env.setInfoValue("MobileCard Background Mode Activate", *value);
        auto& engine = makeCard();
        EXPECT_EQ(central().delegate(), nullptr);
        EXPECT_EQ(location().delegate(), nullptr);
        EXPECT_EQ(engine.advertiser().peripheralManager().delegate(), &engine.advertiser());
        EXPECT_EQ(phone.alwaysAuthorizationRequestCount(), 0);
    }

    auto& engine = makeCard(true);
    EXPECT_EQ(central().delegate(), &engine.readerConnector());
    EXPECT_EQ(location().delegate(), &engine.beaconWatcher());
    EXPECT_EQ(phone.alwaysAuthorizationRequestCount(), 1);
    EXPECT_TRUE(location().allowsBackgroundLocationUpdates());
    EXPECT_FALSE(location().pausesLocationUpdatesAutomatically());
}

} // namespace
} // namespace lumitrex::testing
