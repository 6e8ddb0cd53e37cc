#include "TOLVEN/signin/SecretMasking.h"

#include <gtest/gtest.h>

namespace tolven {
namespace {

TEST(SecretMaskingTest, SecretsKeepOnlyTheirFirstFourCharacters)
{
    struct Case {
        std::string text;
        std::string masked;
    };
    const Case secrets[] = { { "", "" }, { "abc", "abc…" }, { "eyJhbGciOi.x.y", "eyJh…" }, { "토큰비밀값", "토큰비밀…" } };
    for (const auto& c : secrets)
        EXPECT_EQ(maskSecret(c.text), c.masked) << c.text;

    const Case bodies[] = {
        { R"({"access_token":"AAAA1111","expires_in":3600})", R"({"access_token":"AAAA…","expires_in":3600})" },
        { R"({"id_token" : "eyJ0.eyJ1.sig", "refresh_token":"RT-9"})", R"({"id_token" : "eyJ0…", "refresh_token":"RT-9…"})" },
        { R"({"content":["DEV7Kq2Lm9 RT-a1b2c3d4 GW-e5f6a7b8"]})", R"({"content":["DEV7Kq2Lm9 RT-a… GW-e…"]})" },
        { "<html>no json</html>", "<html>no json</html>" },
    };
    for (const auto& c : bodies)
        EXPECT_EQ(maskServerKeys(c.text), c.masked) << c.text;

    platform::HttpHeaderList headers { { "Authorization", "Bearer gw0123456789" }, { "login-token", "eyJhbGci" }, { "Accept", "application/json" } };
    EXPECT_EQ(describeHeadersMasked(headers), "Authorization: Bearer gw01…\nlogin-token: eyJh…\nAccept: application/json");
}

} // namespace
} // namespace tolven
