#include "TOLVEN/signin/DeviceIDProvider.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/security/Keychain.h"
#include "platform/security/SecureRandom.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

using namespace platform;
using tolven::DeviceIDProvider;
using DeviceIDError = DeviceIDProvider::DeviceIDError;

namespace {

class DeviceIDProviderTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        setSecureRandomSourceForTesting({});
        setKeychainBeforeOperationHookForTesting({});
    }

    // Every later draw takes the next scripted byte; each draw must ask for one byte.
    void scriptRandomBytes(std::deque<std::uint8_t> bytes)
    {
        scripted_ = std::move(bytes);
        setSecureRandomSourceForTesting([this](std::span<std::uint8_t> out) {
            EXPECT_EQ(out.size(), 1u);
            if (scripted_.empty())
                return errSecIO;
            out[0] = scripted_.front();
            scripted_.pop_front();
            return errSecSuccess;
        });
    }

    void storeRawItem(std::vector<std::uint8_t> data, Keychain& keychain = Keychain::standard())
    {
        ASSERT_EQ(keychain.addItem({ DeviceIDProvider::service, DeviceIDProvider::account, std::move(data),
                      KeychainAccessibility::afterFirstUnlockThisDeviceOnly, false }),
            errSecSuccess);
    }

    std::optional<GenericPasswordItem> storedItem()
    {
        std::optional<GenericPasswordItem> item;
        Keychain::standard().copyMatching(
            { DeviceIDProvider::service, DeviceIDProvider::account, SynchronizableMatch::any }, item);
        return item;
    }

    void damageKeychain() { ASSERT_TRUE(writeFileAtomically(Keychain::standard().file(), "not a property list")); }

    // Runs `action` once, just before the first keychain operation of `kind`.
    void beforeNext(Keychain::Operation kind, std::function<void()> action)
    {
        auto fired = std::make_shared<bool>(false);
        setKeychainBeforeOperationHookForTesting([kind, action, fired](Keychain::Operation operation) {
            if (operation == kind && !*fired) {
                *fired = true;
                action();
            }
        });
    }

    template<typename F>
    DeviceIDError errorOf(F&& call)
    {
        try {
            call();
        } catch (const DeviceIDError& error) {
            return error;
        }
        ADD_FAILURE() << "no error was thrown";
        return DeviceIDError::unhandled(0);
    }

    TestEnvironment env;
    std::deque<std::uint8_t> scripted_;
};

} // namespace

TEST_F(DeviceIDProviderTest, LengthOutsideOneToTenIsRefusedBeforeTheKeychain)
{
    damageKeychain();
    for (int length : { 0, 11, -1, -100 }) {
        SCOPED_TRACE(length);
        EXPECT_EQ(errorOf([&] { DeviceIDProvider::getOrCreate(length); }), DeviceIDError::invalidLength());
    }
}

TEST_F(DeviceIDProviderTest, CreatesStoresAndThenReturnsTheSameIdentifier)
{
    auto first = DeviceIDProvider::getOrCreate(10);
    EXPECT_EQ(first.size(), 10u);
    EXPECT_EQ(first.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
        std::string::npos);
    EXPECT_EQ(DeviceIDProvider::getOrCreate(10), first);

    auto item = storedItem();
    ASSERT_TRUE(item);
    EXPECT_EQ(std::string(item->data.begin(), item->data.end()), first);
    EXPECT_EQ(item->accessibility, KeychainAccessibility::afterFirstUnlockThisDeviceOnly);
    EXPECT_FALSE(item->synchronizable);

    DeviceIDProvider::deleteDeviceID();
    EXPECT_EQ(DeviceIDProvider::getOrCreate(1).size(), 1u);
}

TEST_F(DeviceIDProviderTest, StoredIdentifierIsReturnedWhateverItsLength)
{
    DeviceIDProvider::saveDeviceID("ABC");
    EXPECT_EQ(DeviceIDProvider::getOrCreate(10), "ABC");
    DeviceIDProvider::deleteDeviceID();
    DeviceIDProvider::saveDeviceID("a much longer stored text");
    EXPECT_EQ(DeviceIDProvider::getOrCreate(1), "a much longer stored text");
}

TEST_F(DeviceIDProviderTest, EachByteMapsOntoTheAlphabetAndHighBytesAreDrawnAgain)
{
    scriptRandomBytes({ 248, 0, 255, 61, 62, 250, 247, 10, 36 });
    EXPECT_EQ(DeviceIDProvider::makeRandomID(6), "0z0zAa");
    EXPECT_TRUE(scripted_.empty());
    EXPECT_EQ(DeviceIDProvider::makeRandomID(0), "");
}

TEST_F(DeviceIDProviderTest, RandomSourceFailureStoresNothing)
{
    scriptRandomBytes({ 1, 2 }); // the third draw fails
    EXPECT_EQ(errorOf([] { DeviceIDProvider::getOrCreate(5); }), DeviceIDError::randomFailed());
    EXPECT_FALSE(storedItem());
}

TEST_F(DeviceIDProviderTest, DamagedKeychainIsReportedWithItsStatus)
{
    damageKeychain();
    EXPECT_EQ(errorOf([] { DeviceIDProvider::getOrCreate(10); }), DeviceIDError::unhandled(errSecDecode));
    EXPECT_EQ(errorOf([] { DeviceIDProvider::deleteDeviceID(); }), DeviceIDError::unhandled(errSecDecode));
}

TEST_F(DeviceIDProviderTest, OtherSaveErrorDropsTheNewIdentifier)
{
    // The store is readable and empty at first, then damaged just before the add.
    beforeNext(Keychain::Operation::add, [&] { damageKeychain(); });
    EXPECT_EQ(errorOf([] { DeviceIDProvider::getOrCreate(10); }), DeviceIDError::unhandled(errSecDecode));
}

TEST_F(DeviceIDProviderTest, CallerThatLosesTheRaceTakesTheStoredIdentifier)
{
    Keychain otherProcess(Keychain::standard().file());
    beforeNext(Keychain::Operation::add, [&] { storeRawItem({ 'T', 'H', 'E', 'I', 'R', 'S' }, otherProcess); });
    EXPECT_EQ(DeviceIDProvider::getOrCreate(10), "THEIRS");
    EXPECT_EQ(DeviceIDProvider::loadDeviceID(), "THEIRS");
}

TEST_F(DeviceIDProviderTest, RaceWhoseStoredItemCannotBeReadAgainThrowsThatError)
{
    Keychain otherProcess(Keychain::standard().file());
    beforeNext(Keychain::Operation::add, [&] {
        storeRawItem({ 'T' }, otherProcess);
        beforeNext(Keychain::Operation::copy, [&] { damageKeychain(); });
    });
    EXPECT_EQ(errorOf([] { DeviceIDProvider::getOrCreate(10); }), DeviceIDError::unhandled(errSecDecode));
}

TEST_F(DeviceIDProviderTest, StoredBytesThatAreNotUtf8GiveAFreshUnstoredIdentifierEachCall)
{
    const std::vector<std::uint8_t> invalid { 'A', 0xC3, 0x28 };
    storeRawItem(invalid);
    EXPECT_EQ(DeviceIDProvider::loadDeviceID(), std::nullopt);

    std::set<std::string> seen;
    for (int call = 0; call < 3; ++call) {
        auto identifier = DeviceIDProvider::getOrCreate(10);
        EXPECT_EQ(identifier.size(), 10u);
        seen.insert(identifier);
    }
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(storedItem()->data, invalid);
}

TEST_F(DeviceIDProviderTest, DeletingAnAbsentItemSucceeds)
{
    EXPECT_NO_THROW(DeviceIDProvider::deleteDeviceID());
}
