#pragma once

#include "devstack/identity/IdentityUser.h"

#include <filesystem>
#include <string>
#include <vector>

namespace devstack {

// Where the running services answer, as a developer calls them by hand.
struct ServiceAddresses {
    std::string identityIssuer;
    std::string gatewayBase;
    std::string cardIssuerBase;
    std::filesystem::path caFile;
};

// The console lines that go with the services: each service's address and,
// beside it, the paths worth calling and the users who can sign in with
// their passwords (development users, not secrets), then the CA file to
// trust.
std::vector<std::string> serviceGuideLines(const ServiceAddresses& addresses, const std::vector<IdentityUser>& users);

} // namespace devstack
