#include "devstack/run/BundleWriter.h"

#include "TOLVEN/signin/GatewayConfiguration.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

std::string stringIn(const std::filesystem::path& plist, const std::string& key)
{
    auto value = platform::readPropertyListFile(plist);
    if (!value || !value->is<platform::PlistValue::Dictionary>())
        return "(unreadable)";
    const auto& values = *value->get<platform::PlistValue::Dictionary>();
    auto found = values.find(key);
    return found != values.end() && found->second.is<std::string>() ? *found->second.get<std::string>() : "(missing)";
}

// The logout page's redirect scheme is the identity host's name, so both
// property lists must name the provider by a host name, and the same one.
void expectOneIdentityHost(const std::filesystem::path& bundle, const std::string& hostAndPort)
{
    EXPECT_EQ(stringIn(bundle / "Okta.plist", "issuer"), "https://" + hostAndPort);
    EXPECT_EQ(stringIn(bundle / "Info.plist", tolven::GatewayConfiguration::identityHostKey), hostAndPort);
}

} // namespace

TEST(BundleWriter, ShippedAndWrittenBundlesNameTheIdentityProviderByOneHostName)
{
    expectOneIdentityHost(TOLVEN_RESOURCES_DIR, "localhost:8443");

    platform::TestEnvironment env;
    devstack::BundleWriter writer(TOLVEN_RESOURCES_DIR);
    auto bundle = writer.write(env.dataFolder() / "TOLVEN.app",
        devstack::BundleWriter::Addresses { "127.0.0.1:9100", "https://localhost:9101", "https://127.0.0.1:9102" }, "key");
    expectOneIdentityHost(bundle, "localhost:9101");
    EXPECT_EQ(stringIn(bundle / "Info.plist", tolven::GatewayConfiguration::gatewayHostKey), "127.0.0.1:9100");
    EXPECT_EQ(stringIn(bundle / "Info.plist", "Mobile Card Key"), "key");

    EXPECT_THROW(writer.write(env.dataFolder() / "plain.app",
                     devstack::BundleWriter::Addresses { "127.0.0.1:9100", "http://localhost:9101", "" }, "key"),
        std::runtime_error);
}
