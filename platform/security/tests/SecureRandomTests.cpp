#include "platform/security/SecureRandom.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

#include <array>

using namespace platform;

TEST(SecureRandom, SystemSourceFillsEveryByte)
{
    // Two 64-byte draws that are equal, or a draw that stays all zero, would
    // mean the buffer was not filled.
    std::array<std::uint8_t, 64> first {}, second {};
    ASSERT_EQ(secRandomCopyBytes(first), errSecSuccess);
    ASSERT_EQ(secRandomCopyBytes(second), errSecSuccess);
    EXPECT_NE(first, second);
    EXPECT_NE(first, (std::array<std::uint8_t, 64> {}));
}

TEST(SecureRandom, TestSourceReplacesAndRestoresTheSystemOne)
{
    setSecureRandomSourceForTesting([](std::span<std::uint8_t>) { return errSecIO; });
    std::array<std::uint8_t, 4> bytes {};
    EXPECT_EQ(secRandomCopyBytes(bytes), errSecIO);
    setSecureRandomSourceForTesting({});
    EXPECT_EQ(secRandomCopyBytes(bytes), errSecSuccess);
}
