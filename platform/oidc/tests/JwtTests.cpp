#include "platform/oidc/Jwt.h"
#include "platform/oidc/Base64Url.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::string part(const std::string& json)
{
    return base64UrlEncode(std::span(reinterpret_cast<const std::uint8_t*>(json.data()), json.size()));
}

std::string jwt(const std::string& header, const std::string& body, const std::string& signature = "c2ln")
{
    return part(header) + "." + part(body) + "." + signature;
}

} // namespace

TEST(Jwt, ClaimsOfTheBodyWithoutCheckingTheSignature)
{
    // "í" makes the body need the URL-safe alphabet's "-" or "_" and no padding.
    auto claims = decodeJwtClaims(jwt(R"({"alg":"RS256"})", R"({"email":"kim@brantwick.com","name":"Kím?>","n":1})"));
    EXPECT_EQ(claims["email"], "kim@brantwick.com");
    EXPECT_EQ(claims["name"], "Kím?>");
    EXPECT_EQ(claims["n"], 1);
    EXPECT_EQ(decodeJwtClaims(jwt(R"({"alg":"none"})", "{}", ""))["email"].is_null(), true);
}

TEST(Jwt, AnythingElseIsRefused)
{
    const std::string goodHeader = part(R"({"alg":"RS256"})");
    const std::string goodBody = part(R"({"email":"a@b.c"})");
    const std::string cases[] = {
        "",
        "not a token",
        goodHeader + "." + goodBody,
        goodHeader + "." + goodBody + ".sig.extra",
        goodHeader + ".." + "sig",
        goodHeader + "." + part("[1,2]") + ".sig",
        goodHeader + "." + part("\"text\"") + ".sig",
        goodHeader + "." + part("{\"email\":") + ".sig",
        goodHeader + "." + "@@@" + ".sig",
        part("[]") + "." + goodBody + ".sig",
        goodHeader + "." + goodBody + ".s!g",
    };
    for (const auto& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_THROW(decodeJwtClaims(text), JwtDecodingError);
    }
}
