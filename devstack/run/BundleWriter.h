#pragma once

#include <filesystem>
#include <string>

namespace devstack {

class DevstackServices;

// Writes the application's main bundle for a run against the devstack: the
// application's resources, with the gateway, identity-provider and
// card-issuing addresses pointing at the running services and the site's
// "Mobile Card Key" in place.
class BundleWriter {
public:
    // Where the running services are.
    struct Addresses {
        // host:port of the API gateway.
        std::string gatewayHost;
        // The identity provider's issuer, "https://host:port"; its host and
        // port also become the application's identity host, so that the two
        // property lists name the same provider.
        std::string identityIssuer;
        std::string cardIssuerUrl;
    };

    // `resources` is the application's resource folder (Info.plist, Okta.plist).
    explicit BundleWriter(std::filesystem::path resources);

    // Writes the bundle into `destination` (replacing what is there) and
    // returns it. Throws std::runtime_error when a resource is missing or
    // unreadable or a file cannot be written.
    std::filesystem::path write(const std::filesystem::path& destination, const DevstackServices& services,
        const std::string& mobileCardKey) const;
    std::filesystem::path write(const std::filesystem::path& destination, const Addresses& addresses,
        const std::string& mobileCardKey) const;

private:
    std::filesystem::path resources_;
};

} // namespace devstack
