#include "platform/oidc/OidcConfiguration.h"

#include "platform/foundation/Bundle.h"

#include <cctype>

namespace platform {

namespace {

std::optional<std::string> textFor(const PlistValue::Dictionary& values, const char* key)
{
    auto found = values.find(key);
    if (found == values.end() || !found->second.is<std::string>())
        return std::nullopt;
    return *found->second.get<std::string>();
}

std::string schemeOf(const std::string& address)
{
    auto colon = address.find(':');
    return colon == std::string::npos ? std::string() : address.substr(0, colon);
}

bool isSchemeText(const std::string& scheme)
{
    if (scheme.empty() || !std::isalpha(static_cast<unsigned char>(scheme.front())))
        return false;
    for (unsigned char c : scheme) {
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

} // namespace

std::optional<OidcConfiguration> OidcConfiguration::fromPropertyList(const Bundle& bundle, const std::string& name)
{
    auto file = bundle.pathForResource(name, "plist");
    if (!file)
        return std::nullopt;
    auto values = readPropertyListFile(*file);
    if (!values || !values->is<PlistValue::Dictionary>())
        return std::nullopt;
    return fromDictionary(*values->get<PlistValue::Dictionary>());
}

std::optional<OidcConfiguration> OidcConfiguration::fromDictionary(const PlistValue::Dictionary& values)
{
    auto issuer = textFor(values, "issuer");
    auto clientId = textFor(values, "clientId");
    auto scopes = textFor(values, "scopes");
    auto redirectUri = textFor(values, "redirectUri");
    if (!issuer || !clientId || !scopes || !redirectUri)
        return std::nullopt;
    OidcConfiguration configuration { *issuer, *clientId, *scopes, *redirectUri,
        textFor(values, "logoutRedirectUri").value_or("") };
    // The issuer stays as written: the provider's discovery document must
    // name it exactly, trailing slash and all.
    bool usable = configuration.issuer.starts_with("https://") && configuration.issuer.size() > 8
        && !configuration.clientId.empty() && configuration.scopes.find("openid") != std::string::npos
        && isSchemeText(configuration.redirectScheme())
        && (configuration.logoutRedirectUri.empty() || isSchemeText(schemeOf(configuration.logoutRedirectUri)));
    if (!usable)
        return std::nullopt;
    return configuration;
}

std::string OidcConfiguration::redirectScheme() const
{
    return schemeOf(redirectUri);
}

} // namespace platform
