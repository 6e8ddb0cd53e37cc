#include "TOLVEN/signin/GatewayConfiguration.h"

#include "platform/foundation/Bundle.h"

namespace tolven {

namespace {

// The company's own hosts, used when the configuration names none.
constexpr const char* defaultGatewayHost = "apigw.brantwick.com";
constexpr const char* defaultIdentityHost = "login.brantwick.com";

std::string configuredHost(const char* key, const char* fallback)
{
    auto value = platform::Bundle::main().objectForInfoDictionaryKey(key);
    if (value && value->is<std::string>() && !value->get<std::string>()->empty())
        return *value->get<std::string>();
    return fallback;
}

} // namespace

std::string GatewayConfiguration::gatewayAddress()
{
    return "https://" + configuredHost(gatewayHostKey, defaultGatewayHost);
}

std::string GatewayConfiguration::identityAddress()
{
    return "https://" + configuredHost(identityHostKey, defaultIdentityHost);
}

} // namespace tolven
