#include "TOLVEN/signin/SignInWiring.h"

#include "TOLVEN/signin/APISession.h"
#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/CheckBeforeLogin.h"
#include "TOLVEN/signin/TokenManager.h"

namespace tolven {

void connectGatewayTokenReports()
{
    TokenManager::shared().setNewGatewayTokenHandler([](const std::string& gatewayToken, const std::string& refreshToken) {
        CheckBeforeLogin::shared().setCheck(AppSession::shared().appToken, refreshToken, gatewayToken, apiSession());
    });
}

} // namespace tolven
