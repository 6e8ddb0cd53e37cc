#pragma once

#include "devstack/gateway/BackendDirectory.h"
#include "devstack/gateway/EndpointFaults.h"
#include "devstack/gateway/GatewayTokenStore.h"
#include "devstack/identity/IdentityProvider.h"
#include "devstack/server/HttpsService.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace devstack {

// The claims of an ID token that the identity provider issued (signature
// checked); nothing for any other text.
using IdTokenVerifier = std::function<std::optional<nlohmann::json>(const std::string& idToken)>;

struct ApiGatewayOptions {
    // The application's client identifier: its Basic credential is this
    // identifier on both sides of the colon, and ID tokens must be issued to it.
    std::string clientId = identityDefaultClientId;
    std::chrono::seconds tokenLifetime { 3600 };
    // The gateway's "now", for token lifetimes and ID-token expiry. Tests hand
    // it the application's virtual clock.
    std::function<std::chrono::system_clock::time_point()> now = [] { return std::chrono::system_clock::now(); };
    IdTokenVerifier verifyIdToken;
    BackendDirectory directory = BackendDirectory::seeded();
};

// The company's API gateway with the backend behind it, in one local HTTPS
// service: the ID-token exchange ("/oauth2/v1/token"), token revocation
// ("/oauth2/v1/revoketoken"), and under "/etc-tolven-pub" the employee
// record, install report, device key, notices, parking cars and fees, the fee
// order and the photo download, each behind a Bearer check (unknown, revoked
// or expired tokens get 401). Tests can switch on a failure per endpoint.
class ApiGateway final : public HttpsService {
public:
    using Options = ApiGatewayOptions;
    static constexpr const char* basePath = "/etc-tolven-pub";

    explicit ApiGateway(Options options);

    // Accepts the ID tokens that `provider` signed.
    static IdTokenVerifier verifierFor(const IdentityProvider& provider);

    // "host:port", the value for the application's gateway host setting.
    std::string hostAndPort() const;

    void setTokenLifetime(std::chrono::seconds lifetime);
    EndpointFaults& faults() { return faults_; }
    GatewayTokenStore& tokens() { return tokens_; }

    std::optional<std::string> serverKey(const std::string& email) const;
    void setServerKey(const std::string& email, std::string key);
    // The last version each e-mail reported.
    std::optional<std::string> installedVersion(const std::string& email) const;

protected:
    void installRoutes(httplib::Server& server) override;

private:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    // Applies a switched-on fault, then the Bearer check, then `handler`.
    void backend(httplib::Server& server, const char* method, const std::string& path, Handler handler);
    bool applyFault(const std::string& path, httplib::Response& response);

    void exchange(const httplib::Request& request, httplib::Response& response);
    void revoke(const httplib::Request& request, httplib::Response& response);
    void employeeRecord(const httplib::Request& request, httplib::Response& response);
    void confirmInstall(const httplib::Request& request, httplib::Response& response);
    void getKey(const httplib::Request& request, httplib::Response& response);
    void setKey(const httplib::Request& request, httplib::Response& response);
    void notices(const httplib::Request& request, httplib::Response& response);
    void parkingCars(const httplib::Request& request, httplib::Response& response);
    void parkingFees(const httplib::Request& request, httplib::Response& response);
    void feeOrder(const httplib::Request& request, httplib::Response& response);
    void photo(const httplib::Request& request, httplib::Response& response);

    const BackendEmployee* employeeForUserToken(const httplib::Request& request, httplib::Response& response) const;
    nlohmann::json withGatewayAddress(const nlohmann::json& value) const;
    void replyEnvelope(httplib::Response& response, nlohmann::json content) const;
    static void replyError(httplib::Response& response, int status, const std::string& error, const std::string& description);

    const Options options_;
    EndpointFaults faults_;
    GatewayTokenStore tokens_;
    mutable std::mutex mutex_;
    std::chrono::seconds tokenLifetime_;
    std::map<std::string, std::string> serverKeys_;
    std::map<std::string, std::string> installs_;
    int orderCount_ = 0;
};

} // namespace devstack
