#include "crypto/AppIdCipher.h"
#include "crypto/CryptoDeviceOperations.h"
#include "crypto/Bytes.h"
#include "crypto/tests/ReferenceAes.h"

#include "platform/foundation/Console.h"
#include "platform/foundation/TimeZone.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

namespace lumitrex {
namespace {

using testing::bytesOf;
using testing::makeCardKey;
using testing::referenceAes128Cbc;

constexpr const char* kCardKeyText = "00112233445566778899aabbccddeeff";

class CardKeyTests : public ::testing::Test {
protected:
    CardKeyTests()
    {
        platform::setConsoleSinkForTesting([this](std::string_view line) { consoleLines.emplace_back(line); });
    }
    ~CardKeyTests() override { platform::setConsoleSinkForTesting({}); }

    platform::TestEnvironment env;
    CryptoDeviceOperations crypto;
    std::vector<std::string> consoleLines;
};

TEST_F(CardKeyTests, UidDigitsToHexReadsDecimalPairs)
{
    const std::pair<const char*, const char*> cases[] = {
        { "1234567890123456", "0C22384E5A0C2238" },
        { "0000000000000000", "0000000000000000" },
        { "9999999999999999", "6363636363636363" },
        { "123", "0C" },
        { "1", "" },
    };
    for (const auto& [digits, hex] : cases)
        EXPECT_EQ(crypto.uidDigitsToHex(digits), hex) << digits;
}

TEST_F(CardKeyTests, DecryptCardKeyGivesTheIssuedText)
{
    EXPECT_EQ(crypto.decryptCardKey(makeCardKey(bytesOf(kCardKeyText))), kCardKeyText);
    EXPECT_TRUE(consoleLines.empty());
}

TEST_F(CardKeyTests, DamagedCardKeysGiveNoText)
{
    std::string good = makeCardKey(bytesOf(kCardKeyText));
    std::string withLineBreak = good.substr(0, 20) + "\n" + good.substr(20);
    const std::pair<const char*, std::string> cases[] = {
        { "line break inside", withLineBreak },
        { "not Base64", "not base64!" },
        { "empty", "" },
        { "wrong padding after decryption", testing::referenceBase64(Bytes(32, 0x41)) },
    };
    for (const auto& [what, key] : cases) {
        SCOPED_TRACE(what);
        consoleLines.clear();
        EXPECT_EQ(crypto.decryptCardKey(key), std::nullopt);
        EXPECT_EQ(consoleLines.size(), 1u);
    }
}

TEST_F(CardKeyTests, CardKeyThatIsNotUtf8GivesNoText)
{
    EXPECT_EQ(crypto.decryptCardKey(makeCardKey({ 0x41, 0xFF, 0xFE, 0x42 })), std::nullopt);
    EXPECT_EQ(crypto.decryptCardKey(makeCardKey({ 0xED, 0xA0, 0x80 })), std::nullopt); // an encoded surrogate
    EXPECT_EQ(crypto.decryptCardKey(makeCardKey(bytesOf("카드"))), "카드");
}

TEST_F(CardKeyTests, DeriveMobileKeyEncryptsTheUidAndItsMirror)
{
    // keyPlain for card number 1234567890123456, AES-128-CBC under the card key, no padding.
    Bytes keyPlain { 0x0C, 0x22, 0x38, 0x4E, 0x5A, 0x0C, 0x22, 0x38, 0x1C, 0x44, 0x30, 0x5A, 0x72, 0x1C, 0x44, 0x30 };
    auto expected = referenceAes128Cbc(keyPlain, testing::referenceHexBytes(kCardKeyText), false);

    auto cardKey = crypto.decryptCardKey(makeCardKey(bytesOf(kCardKeyText)));
    ASSERT_TRUE(cardKey);
    auto mobileKey = crypto.deriveMobileKey(crypto.uidDigitsToHex("1234567890123456"), *cardKey);
    EXPECT_EQ(mobileKey, testing::referenceLowerHex(expected));
    EXPECT_EQ(mobileKey.size(), 32u);
    EXPECT_TRUE(consoleLines.empty());
}

TEST_F(CardKeyTests, RefusedCardKeyGivesAnEmptyMobileKey)
{
    for (const char* cardKey : { "not hex at all", "", "0011", "00112233445566778899aabbccddeef" }) {
        SCOPED_TRACE(cardKey);
        consoleLines.clear();
        EXPECT_EQ(crypto.deriveMobileKey("0C22384E5A0C2238", cardKey), "");
        EXPECT_EQ(consoleLines.size(), 1u);
    }
}

TEST_F(CardKeyTests, TimestampFollowsTheClockAndTheTimeZone)
{
    EXPECT_EQ(crypto.timestampString(), "20240506134507");
    env.fastForwardBy(std::chrono::milliseconds(999));
    EXPECT_EQ(crypto.timestampString(), "20240506134507");
    env.fastForwardBy(std::chrono::milliseconds(1));
    EXPECT_EQ(crypto.timestampString(), "20240506134508");
    platform::setCurrentTimeZoneIdentifier("UTC");
    EXPECT_EQ(crypto.timestampString(), "20240506044508");
}

TEST_F(CardKeyTests, EncryptAppIdIsBase64OfPkcs5Ciphertext)
{
    std::string key = "0123456789abcdef";
    EXPECT_EQ(encryptAppId("com.brantwick.tolven", key),
        testing::referenceBase64(referenceAes128Cbc(bytesOf("com.brantwick.tolven"), bytesOf(key), true)));
    EXPECT_FALSE(encryptAppId("x", std::string(24, 'k')).empty());
    EXPECT_FALSE(encryptAppId("x", std::string(32, 'k')).empty());
    for (std::string bad : { "", "short", "0123456789abcde", "0123456789abcdef0" }) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(encryptAppId("com.brantwick.tolven", bad), "");
    }
    EXPECT_TRUE(consoleLines.empty());
}

} // namespace
} // namespace lumitrex
