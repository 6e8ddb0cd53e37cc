#include "platform/oidc/OpenIdConfiguration.h"

namespace platform {

namespace {

std::string textFor(const nlohmann::json& json, const char* key)
{
    auto found = json.find(key);
    return found != json.end() && found->is_string() ? found->get<std::string>() : std::string();
}

} // namespace

std::optional<OpenIdConfiguration> OpenIdConfiguration::fromJson(const nlohmann::json& json, const std::string& expectedIssuer)
{
    if (!json.is_object())
        return std::nullopt;
    OpenIdConfiguration configuration { textFor(json, "issuer"), textFor(json, "authorization_endpoint"),
        textFor(json, "token_endpoint"), textFor(json, "end_session_endpoint"), textFor(json, "revocation_endpoint") };
    // A document for another issuer could send our codes elsewhere.
    if (configuration.issuer != expectedIssuer || !configuration.authorizationEndpoint.starts_with("https://")
        || !configuration.tokenEndpoint.starts_with("https://"))
        return std::nullopt;
    return configuration;
}

} // namespace platform
