#include "devstack/run/ServiceGuide.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace devstack {
namespace {

bool hasLine(const std::vector<std::string>& lines, const std::string& expected)
{
    return std::find(lines.begin(), lines.end(), expected) != lines.end();
}

TEST(ServiceGuideTest, NamesThePathsToCallTheUsersWithTheirPasswordsAndTheCaFile)
{
    ServiceAddresses addresses { "https://localhost:9000", "https://127.0.0.1:9001", "https://127.0.0.1:9002", "/data/devstack/tls/ca.pem" };
    std::vector<IdentityUser> users {
        { "kim", "pw-1", "kim@example.com", "Kim", "s1", true },
        { "park", "pw-2", "park@example.com", "Park", "s2", false },
    };
    auto lines = serviceGuideLines(addresses, users);

    EXPECT_EQ(lines.front(), "identity provider: https://localhost:9000");
    EXPECT_TRUE(hasLine(lines, "  discovery document: https://localhost:9000/.well-known/openid-configuration"));
    EXPECT_TRUE(hasLine(lines, "  user: kim password: pw-1"));
    EXPECT_TRUE(hasLine(lines, "  user: park password: pw-2 (not assigned to the application: refused after the password)"));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const auto& line) {
        return line.starts_with("  gateway prefix: https://127.0.0.1:9001/etc-tolven-pub ");
    }));
    EXPECT_TRUE(hasLine(lines, "card-issuing server: https://127.0.0.1:9002"));
    EXPECT_TRUE(lines.back().starts_with("CA file: /data/devstack/tls/ca.pem "));
}

} // namespace
} // namespace devstack
