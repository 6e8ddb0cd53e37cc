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
        // Escapes in names and values hide nothing: masking judges the unescaped text.
        { R"({"access\u005ftoken":"AAAA1111"})", R"({"access\u005ftoken":"AAAA…"})" },
        { R"({"refresh_token":"\u0052T-secret"})", R"({"refresh_token":"RT-s…"})" },
        { R"({"content":["DEV7Kq2Lm9 refresh\/a1b2c3d4 GW-e5f6a7b8"]})", R"({"content":["DEV7Kq2Lm9 refr… GW-e…"]})" },
        { R"({"id_token":"eyJhbGciOiJSUzI1)", R"({"id_token":"eyJh…")" },
    };
    for (const auto& c : bodies)
        EXPECT_EQ(maskServerKeys(c.text), c.masked) << c.text;

    platform::HttpHeaderList headers { { "Authorization", "Bearer gw0123456789" }, { "login-token", "eyJhbGci" }, { "User-Token", "UT-98765" },
        { "Accept", "application/json" } };
    EXPECT_EQ(describeHeadersMasked(headers), "Authorization: Bearer gw01…\nlogin-token: eyJh…\nUser-Token: UT-9…\nAccept: application/json");
}

} // namespace
} // namespace tolven
