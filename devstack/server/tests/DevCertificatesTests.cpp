#include "devstack/server/DevCertificates.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace devstack {
namespace {

std::string contentsOf(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(DevCertificatesTest, MakesTheFilesOnceAndKeepsAUsableSet)
{
    platform::TestEnvironment env;
    auto folder = env.dataFolder() / "tls";
    auto first = DevCertificates::ensure(folder);
    EXPECT_NE(contentsOf(first.caFile).find("BEGIN CERTIFICATE"), std::string::npos);
    EXPECT_NE(contentsOf(first.privateKeyFile).find("PRIVATE KEY"), std::string::npos);

    auto authority = contentsOf(first.caFile);
    auto second = DevCertificates::ensure(folder);
    EXPECT_EQ(contentsOf(second.caFile), authority);

    // A damaged certificate is replaced by a new set.
    std::ofstream(first.certificateFile) << "garbage";
    auto third = DevCertificates::ensure(folder);
    EXPECT_NE(contentsOf(third.caFile), authority);
}

} // namespace
} // namespace devstack
