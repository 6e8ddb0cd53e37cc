#include "platform/foundation/Bundle.h"
#include "platform/oidc/OidcConfiguration.h"

#include <gtest/gtest.h>

// The configuration the application ships must be one the client accepts,
// and must match the local identity provider's registration.
TEST(OktaConfiguration, ShippedPropertyListIsUsable)
{
    platform::Bundle resources(TOLVEN_RESOURCES_FOLDER);
    auto configuration = platform::OidcConfiguration::fromPropertyList(resources, "Okta");
    ASSERT_TRUE(configuration);
    EXPECT_EQ(configuration->clientId.size(), 20u);
    EXPECT_EQ(configuration->redirectUri, "com.brantwick.tolven:/callback");
    EXPECT_NE(configuration->scopes.find("offline_access"), std::string::npos);
}
