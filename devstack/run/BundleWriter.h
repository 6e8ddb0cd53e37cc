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
    // `resources` is the application's resource folder (Info.plist, Okta.plist).
    explicit BundleWriter(std::filesystem::path resources);

    // Writes the bundle into `destination` (replacing what is there) and
    // returns it. Throws std::runtime_error when a resource is missing or
    // unreadable or a file cannot be written.
    std::filesystem::path write(const std::filesystem::path& destination, const DevstackServices& services,
        const std::string& mobileCardKey) const;

private:
    std::filesystem::path resources_;
};

} // namespace devstack
