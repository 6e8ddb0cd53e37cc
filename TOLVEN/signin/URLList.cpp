#include "TOLVEN/signin/URLList.h"

#include "TOLVEN/signin/GatewayConfiguration.h"

namespace tolven {

URLList::URLList()
    : baseURL(GatewayConfiguration::gatewayAddress() + "/etc-tolven-pub")
    , apigeeURL(GatewayConfiguration::gatewayAddress() + "/oauth2/v1/token")
{
}

} // namespace tolven
