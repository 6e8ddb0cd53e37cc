#pragma once

#include <string>

namespace tolven {

// Where the application finds the company's API gateway and identity
// provider. Both come from the application's Info.plist, so that a local
// stand-in can take their place; each is a host name, optionally with a port.
struct GatewayConfiguration {
    static constexpr const char* gatewayHostKey = "TolvenGatewayHost";
    static constexpr const char* identityHostKey = "TolvenIdentityHost";

    // "https://" + the gateway's host.
    static std::string gatewayAddress();
    // "https://" + the identity provider's host.
    static std::string identityAddress();
};

} // namespace tolven
