#pragma once

#include "platform/foundation/PropertyList.h"

#include <optional>
#include <string>

namespace platform {

class Bundle;

// Which provider and which client registration the OpenID Connect client
// works with.
struct OidcConfiguration {
    // The provider's HTTPS address; its discovery document lies below it.
    std::string issuer;
    std::string clientId;
    // Space-separated, for example "openid profile email offline_access".
    std::string scopes;
    // Where the provider sends the browser back after sign-in; its scheme is the
    // one the web-authentication session listens for.
    std::string redirectUri;
    std::string logoutRedirectUri;

    bool operator==(const OidcConfiguration&) const = default;

    // From the property list `name`.plist of `bundle` with the keys "issuer",
    // "clientId", "scopes", "redirectUri" and "logoutRedirectUri" (optional).
    // Nothing when the file is missing or the values are not usable.
    static std::optional<OidcConfiguration> fromPropertyList(const Bundle& bundle, const std::string& name = "Okta");
    static std::optional<OidcConfiguration> fromDictionary(const PlistValue::Dictionary& values);

    // The scheme of `redirectUri` (the text before its first ":").
    std::string redirectScheme() const;
};

} // namespace platform
