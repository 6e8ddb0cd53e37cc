#include "platform/net/CurlCommand.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(CurlCommandTest, CredentialsAreShownOnlyAsAShortPrefix)
{
    struct Case {
        const char* name;
        HttpHeaderList headers;
        std::string body;
        std::string shown;
    };
    const Case cases[] = {
        { "credential headers", { { "Authorization", "Bearer gw0123456789" }, { "User-Token", "UT-98765" }, { "login-token", "eyJhbGci" }, { "Accept", "text/plain" } }, "",
            "-H 'Authorization: Bearer gw01…' \\\n\t-H 'User-Token: UT-9…' \\\n\t-H 'login-token: eyJh…' \\\n\t-H 'Accept: text/plain' \\\n\t" },
        { "form credentials", { { "Content-Type", "application/x-www-form-urlencoded" } }, "grant_type=refresh_token&refresh_token=RT%2Fsecret&client_id=app",
            "-H 'Content-Type: application/x-www-form-urlencoded' \\\n\t-d 'grant_type=refresh_token&refresh_token=RT/s…&client_id=app' \\\n\t" },
        { "json token fields", { { "Content-Type", "application/json" } }, R"({"access\u005ftoken":"AAAA1111","n":1})",
            "-H 'Content-Type: application/json' \\\n\t-d '{\"access\\u005ftoken\":\"AAAA…\",\"n\":1}' \\\n\t" },
        { "other bodies whole", { { "Content-Type", "text/plain" } }, "token=plain",
            "-H 'Content-Type: text/plain' \\\n\t-d 'token=plain' \\\n\t" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpRequest request { "https://example.test/x", HttpMethod::post(), c.headers, c.body };
        EXPECT_EQ(curlCommandFor(request), "$ curl -v \\\n\t-X POST \\\n\t" + c.shown + "'https://example.test/x'");
    }
}

} // namespace
} // namespace platform
