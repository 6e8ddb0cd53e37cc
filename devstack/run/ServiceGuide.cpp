#include "devstack/run/ServiceGuide.h"

#include "devstack/gateway/ApiGateway.h"

namespace devstack {

std::vector<std::string> serviceGuideLines(const ServiceAddresses& addresses, const std::vector<IdentityUser>& users)
{
    std::vector<std::string> lines;
    lines.push_back("identity provider: " + addresses.identityIssuer);
    lines.push_back("  discovery document: " + addresses.identityIssuer + "/.well-known/openid-configuration");
    for (const auto& user : users) {
        std::string note;
        if (!user.assignedToApplication)
            note = " (not assigned to the application: refused after the password)";
        else if (user.email.empty())
            note = " (no e-mail address)";
        lines.push_back("  user: " + user.username + " password: " + user.password + note);
    }
    const std::string gatewayPrefix = addresses.gatewayBase + ApiGateway::basePath;
    lines.push_back("API gateway and backend: " + addresses.gatewayBase);
    lines.push_back("  token exchange: POST " + addresses.gatewayBase + "/oauth2/v1/token");
    lines.push_back("  gateway prefix: " + gatewayPrefix + " (for example GET " + gatewayPrefix + "/back/hr/employee/login-user-info)");
    lines.push_back("card-issuing server: " + addresses.cardIssuerBase);
    lines.push_back("  operations: POST " + addresses.cardIssuerBase + "/orvix/sdk/<operation>");
    lines.push_back("CA file: " + addresses.caFile.string() + " (kept in the data folder; for example curl --cacert)");
    return lines;
}

} // namespace devstack
