#include "crypto/Base64.h"
#include "crypto/ByteTransforms.h"

#include <gtest/gtest.h>

namespace lumitrex {
namespace {

TEST(ByteTransformsTests, PermuteBitsReversesTheBitOrder)
{
    EXPECT_EQ(permuteBits(0x01), 0x80);
    EXPECT_EQ(permuteBits(0x80), 0x01);
    EXPECT_EQ(permuteBits(0x20), 0x04);
    EXPECT_EQ(permuteBits(0x07), 0xE0);
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(permuteBits(permuteBits(static_cast<std::uint8_t>(byte))), byte);
}

TEST(ByteTransformsTests, ReverseBitsEachByteClearsTheLowBitThenReversesTheList)
{
    EXPECT_EQ(reverseBitsEachByte(Bytes { 0x80, 0x01 }), (Bytes { 0x80, 0x00 }));
    Bytes uid { 0x0C, 0x22, 0x38, 0x4E, 0x5A, 0x0C, 0x22, 0x38 };
    EXPECT_EQ(reverseBitsEachByte(uid), (Bytes { 0x1C, 0x44, 0x30, 0x5A, 0x72, 0x1C, 0x44, 0x30 }));
    // Card bytes are 0...99: the cleared bit never matters for them.
    for (std::uint8_t byte = 0; byte <= 99; ++byte)
        EXPECT_EQ(reverseBitsEachByte(Bytes { byte })[0], permuteBits(byte)) << int(byte);
}

TEST(ByteTransformsTests, HexTextBothWays)
{
    Bytes bytes { 0x00, 0xAB, 0x5c, 0xFF };
    EXPECT_EQ(hexString(bytes), "00AB5CFF");
    EXPECT_EQ(lowerHexString(bytes), "00ab5cff");
    EXPECT_EQ(bytesFromHex("00ab5CfF"), bytes);
    for (const char* bad : { "0", "abc", "0g", "0x12", " 12", "12 " }) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(bytesFromHex(bad).empty());
    }
}

TEST(ByteTransformsTests, Base64IsStrict)
{
    EXPECT_EQ(decodeBase64("TWFu"), (Bytes { 'M', 'a', 'n' }));
    EXPECT_EQ(decodeBase64("TWE="), (Bytes { 'M', 'a' }));
    EXPECT_EQ(decodeBase64("TQ=="), (Bytes { 'M' }));
    EXPECT_EQ(decodeBase64(""), Bytes {});
    for (const char* bad : { "TWFuTQ", "TW\nFu", " TWFu", "TWFu\n", "TQ=a", "T===", "=TWF", "TW-u", "TWFuTQ=" }) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(decodeBase64(bad));
    }
    EXPECT_EQ(encodeBase64(Bytes { 'M', 'a' }), "TWE=");
}

} // namespace
} // namespace lumitrex
