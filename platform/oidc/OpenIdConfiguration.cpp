#include "platform/oidc/OpenIdConfiguration.h"

namespace platform {

namespace {

std::string textFor(const nlohmann::json& json, const char* key)
{
    auto found = json.find(key);
    return found != json.end() && found->is_string() ? found->get<std::string>() : std::string();
}

OidcError unusable(const std::string& why)
{
    return { OidcError::Code::invalidConfiguration, "The identity provider's configuration is not usable: " + why, {} };
}

} // namespace

OidcResult<OpenIdConfiguration> OpenIdConfiguration::fromJson(const nlohmann::json& json, const std::string& expectedIssuer)
{
    if (!json.is_object())
        return unusable("the discovery document is not a JSON object.");
    OpenIdConfiguration configuration { textFor(json, "issuer"), textFor(json, "authorization_endpoint"),
        textFor(json, "token_endpoint"), textFor(json, "end_session_endpoint"), textFor(json, "revocation_endpoint") };
    // A document for another issuer could send our codes elsewhere. The
    // comparison is exact: "https://host/" and "https://host" are two issuers.
    if (configuration.issuer != expectedIssuer)
        return unusable("it names the issuer \"" + configuration.issuer + "\" instead of \"" + expectedIssuer + "\".");
    if (!configuration.authorizationEndpoint.starts_with("https://"))
        return unusable("its authorization endpoint is not an HTTPS address.");
    if (!configuration.tokenEndpoint.starts_with("https://"))
        return unusable("its token endpoint is not an HTTPS address.");
    return configuration;
}

std::string OpenIdConfiguration::discoveryUrl(const std::string& issuer)
{
    auto base = issuer;
    while (base.ends_with('/'))
        base.pop_back();
    return base + "/.well-known/openid-configuration";
}

} // namespace platform
