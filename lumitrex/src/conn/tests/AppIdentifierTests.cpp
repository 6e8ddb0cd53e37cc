#include "conn/AppIdentifier.h"

#include "crypto/AppIdCipher.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

namespace lumitrex {
namespace {

TEST(AppIdentifierKeyTest, ChoosesAndPadsTheKey)
{
    using Text = std::optional<std::string>;
    struct Case {
        const char* name;
        Text deviceKey;
        Text deviceNo;
        Text key;
    };
    const Case cases[] = {
        { "empty key, 8-digit number", "", "12345678", "1234567800000000" },
        { "4-character key, no number", "abcd", std::nullopt, "abcd000000000000" },
        { "key and number", "abcd", "12345678", std::nullopt },
        { "key and empty number", "abcd", "", "abcd000000000000" },
        { "both absent", std::nullopt, std::nullopt, "0000000000000000" },
        { "exactly 16", "0123456789abcdef", std::nullopt, "0123456789abcdef" },
        { "longer than 16", "0123456789abcdefg", std::nullopt, std::nullopt },
        // Characters, not bytes: four Hangul syllables get twelve zeros.
        { "Hangul", "\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80", std::nullopt, "\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80\xEA\xB0\x80" "000000000000" },
        // A letter with a combining accent is one character, as everywhere in the library.
        { "combining accents", "e\xCC\x81" "e\xCC\x81" "e\xCC\x81" "e\xCC\x81", std::nullopt,
            "e\xCC\x81" "e\xCC\x81" "e\xCC\x81" "e\xCC\x81" "000000000000" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(appIdentifierKey(c.deviceKey, c.deviceNo), c.key);
    }
}

TEST(AppIdentifierTest, EncryptsTokenAndBundleIdentifier)
{
    platform::TestEnvironment env;
    EXPECT_EQ(makeAppIdentifier("", "12345678"), encryptAppId("|com.brantwick.tolven.tests", "1234567800000000"));
    env.setInfoValue("MobileCard Token", "T0K3N");
    EXPECT_EQ(makeAppIdentifier("abcd", std::nullopt), encryptAppId("T0K3N|com.brantwick.tolven.tests", "abcd000000000000"));
    EXPECT_FALSE(makeAppIdentifier("abcd", std::nullopt).empty());
    EXPECT_EQ(makeAppIdentifier("abcd", "1"), "");
    // A token of another type counts as missing.
    env.setInfoValue("MobileCard Token", 42);
    EXPECT_EQ(makeAppIdentifier("abcd", std::nullopt), encryptAppId("|com.brantwick.tolven.tests", "abcd000000000000"));
}

} // namespace
} // namespace lumitrex
