#include "crypto/PacketBuilder.h"
#include "crypto/tests/ReferenceAes.h"
#include "crypto/CryptoDeviceOperations.h"

#include "platform/foundation/Console.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

namespace lumitrex {
namespace {

using testing::referenceAes128Cbc;
using testing::referenceHexBytes;

constexpr const char* kUidHex = "0C22384E5A0C2238"; // card number 1234567890123456
constexpr const char* kMidHex = "a1b2c3d4e5f60718";
constexpr const char* kMobileKey = "8f3a0e5c1d2b4a6978e6f5d4c3b2a190";

const Bytes kTs8 { 0x00, 0x20, 0x24, 0x05, 0x06, 0x13, 0x45, 0x07 };
const Bytes kTsBlock { 0x00, 0x20, 0x24, 0x05, 0x06, 0x13, 0x45, 0x07, 0xE0, 0xA2, 0xC8, 0x60, 0xA0, 0x24, 0x04, 0x00 };

class PacketBuilderTests : public ::testing::Test {
protected:
    PacketBuilderTests()
    {
        platform::setConsoleSinkForTesting([this](std::string_view line) { consoleLines.emplace_back(line); });
    }
    ~PacketBuilderTests() override { platform::setConsoleSinkForTesting({}); }

    platform::TestEnvironment env; // 2024-05-06 13:45:07 in Seoul
    CryptoDeviceOperations crypto;
    std::vector<std::string> consoleLines;
};

TEST_F(PacketBuilderTests, FirstPacketIsUidAndTimestamp)
{
    auto packets = buildAdvertisingPackets(kUidHex, kMidHex, kMobileKey, crypto.timestampString());
    EXPECT_EQ(packets.first, (Bytes { 0x0C, 0x22, 0x38, 0x4E, 0x5A, 0x0C, 0x22, 0x38, 0x00, 0x20, 0x24, 0x05, 0x06, 0x13, 0x45, 0x07 }));
    EXPECT_EQ(reversedForConnection(packets).first,
        (Bytes { 0x07, 0x45, 0x13, 0x06, 0x05, 0x24, 0x20, 0x00, 0x38, 0x22, 0x0C, 0x5A, 0x4E, 0x38, 0x22, 0x0C }));
}

TEST_F(PacketBuilderTests, SecondPacketIsTheKeyChainOverSiteAndTimestamp)
{
    auto e1 = referenceAes128Cbc(kTsBlock, referenceHexBytes(kMobileKey), false);
    auto e2 = referenceAes128Cbc(kTsBlock, e1, false);
    Bytes m2 = referenceHexBytes(kMidHex);
    m2.insert(m2.end(), kTs8.begin(), kTs8.end());
    auto e3 = referenceAes128Cbc(m2, e2, false);

    auto packets = buildAdvertisingPackets(kUidHex, kMidHex, kMobileKey, "20240506134507");
    EXPECT_EQ(packets.second, e3);
    EXPECT_EQ(reversedForConnection(packets).second, Bytes(e3.rbegin(), e3.rend()));
    EXPECT_TRUE(consoleLines.empty());
}

TEST_F(PacketBuilderTests, PacketsChangeOnlyWithTheSecond)
{
    auto build = [&] { return buildAdvertisingPackets(kUidHex, kMidHex, kMobileKey, crypto.timestampString()); };
    auto first = build();
    env.fastForwardBy(std::chrono::milliseconds(300));
    auto sameSecond = build();
    EXPECT_EQ(sameSecond.first, first.first);
    EXPECT_EQ(sameSecond.second, first.second);
    env.fastForwardBy(std::chrono::milliseconds(700));
    auto nextSecond = build();
    EXPECT_NE(nextSecond.first, first.first);
    EXPECT_NE(nextSecond.second, first.second);
}

TEST_F(PacketBuilderTests, MissingDataShortensThePackets)
{
    struct Case {
        const char* what;
        const char* uid;
        const char* mid;
        const char* mkey;
        std::size_t firstSize;
        std::size_t secondSize;
    };
    const Case cases[] = {
        { "no card number: P1 is ts8 alone", "", kMidHex, kMobileKey, 8, 16 },
        { "no mobile key: the chain is empty", kUidHex, kMidHex, "", 16, 0 },
        { "refused mobile key", kUidHex, kMidHex, "not hex", 16, 0 },
        { "site number not hex", kUidHex, "zzzzzzzzzzzzzzzz", kMobileKey, 16, 0 },
        { "nothing at all", "", "", "", 8, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto packets = buildAdvertisingPackets(c.uid, c.mid, c.mkey, "20240506134507");
        EXPECT_EQ(packets.first.size(), c.firstSize);
        EXPECT_EQ(packets.second.size(), c.secondSize);
        EXPECT_TRUE(std::equal(kTs8.begin(), kTs8.end(), packets.first.end() - 8));
    }
}

TEST_F(PacketBuilderTests, RefusedMobileKeyIsReportedForEachChainStep)
{
    buildAdvertisingPackets(kUidHex, kMidHex, "", "20240506134507");
    EXPECT_EQ(consoleLines.size(), 3u);
}

TEST_F(PacketBuilderTests, LongerAesKeysAreAccepted)
{
    // A 24-byte mobile key keys AES-192 for the first step; the chain then goes on with 16-byte keys.
    auto packets = buildAdvertisingPackets(kUidHex, kMidHex, "000102030405060708090a0b0c0d0e0f1011121314151617", "20240506134507");
    EXPECT_EQ(packets.second.size(), 16u);
    EXPECT_TRUE(consoleLines.empty());
}

} // namespace
} // namespace lumitrex
