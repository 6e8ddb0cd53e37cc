#include "devstack/gateway/ApiGateway.h"

#include "devstack/gateway/SampleJpeg.h"
#include "devstack/identity/TokenSigner.h"

#include "platform/net/JsonParsing.h"

#include <openssl/evp.h>

#include <cstdint>
#include <ctime>
#include <iomanip>
#include <sstream>

namespace devstack {

namespace {

using nlohmann::json;

std::string base64(const std::string& bytes)
{
    std::string encoded(4 * ((bytes.size() + 2) / 3), '\0');
    int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    encoded.resize(static_cast<std::size_t>(length));
    return encoded;
}

std::string param(const httplib::Request& request, const char* name)
{
    return request.has_param(name) ? request.get_param_value(name) : std::string();
}

std::optional<std::string> bearerToken(const httplib::Request& request)
{
    auto authorization = request.get_header_value("Authorization");
    const std::string scheme = "Bearer ";
    if (authorization.size() <= scheme.size() || authorization.compare(0, scheme.size(), scheme) != 0)
        return std::nullopt;
    return authorization.substr(scheme.size());
}

bool audienceIncludes(const json& claims, const std::string& clientId)
{
    auto audience = claims.find("aud");
    if (audience == claims.end())
        return false;
    if (audience->is_string())
        return *audience == clientId;
    if (audience->is_array()) {
        for (const auto& entry : *audience) {
            if (entry == clientId)
                return true;
        }
    }
    return false;
}

std::string formatted(std::chrono::system_clock::time_point moment, const char* format)
{
    auto seconds = std::chrono::system_clock::to_time_t(moment);
    std::tm utc {};
    gmtime_r(&seconds, &utc);
    std::ostringstream text;
    text << std::put_time(&utc, format);
    return text.str();
}

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The total of the order's rows, each of which needs an integer cost of 0 or
// more; nothing when a row has none or the total does not fit 64 bits, so a
// crafted order can never come out cheap or negative.
std::optional<std::int64_t> orderAmount(const json& rows)
{
    std::int64_t amount = 0;
    for (const auto& row : rows) {
        if (!row.is_object())
            return std::nullopt;
        auto cost = row.value("cost", json());
        // Unsigned numbers beyond the signed range would wrap when read.
        if (!cost.is_number_integer() || (cost.is_number_unsigned() && cost.get<std::uint64_t>() > INT64_MAX))
            return std::nullopt;
        auto value = cost.get<std::int64_t>();
        if (value < 0 || __builtin_add_overflow(amount, value, &amount))
            return std::nullopt;
    }
    return amount;
}

} // namespace

ApiGateway::ApiGateway(Options options)
    : HttpsService("gateway")
    , options_(std::move(options))
    , tokenLifetime_(options_.tokenLifetime)
{
}

IdTokenVerifier ApiGateway::verifierFor(const IdentityProvider& provider)
{
    return [&provider](const std::string& idToken) { return provider.signer().verify(idToken); };
}

std::string ApiGateway::hostAndPort() const
{
    return "127.0.0.1:" + std::to_string(port());
}

void ApiGateway::setTokenLifetime(std::chrono::seconds lifetime)
{
    std::lock_guard lock(mutex_);
    tokenLifetime_ = lifetime;
}

std::optional<std::string> ApiGateway::serverKey(const std::string& email) const
{
    std::lock_guard lock(mutex_);
    auto found = serverKeys_.find(email);
    return found == serverKeys_.end() ? std::nullopt : std::optional(found->second);
}

void ApiGateway::setServerKey(const std::string& email, std::string key)
{
    std::lock_guard lock(mutex_);
    serverKeys_[email] = std::move(key);
}

std::optional<std::string> ApiGateway::installedVersion(const std::string& email) const
{
    std::lock_guard lock(mutex_);
    auto found = installs_.find(email);
    return found == installs_.end() ? std::nullopt : std::optional(found->second);
}

void ApiGateway::installRoutes(httplib::Server& server)
{
    server.Post("/oauth2/v1/token", [this](const auto& request, auto& response) {
        if (!applyFault("/oauth2/v1/token", response))
            exchange(request, response);
    });
    server.Post("/oauth2/v1/revoketoken", [this](const auto& request, auto& response) {
        if (!applyFault("/oauth2/v1/revoketoken", response))
            revoke(request, response);
    });
    auto route = [this](auto method) { return [this, method](const auto& request, auto& response) { (this->*method)(request, response); }; };
    backend(server, "GET", "/back/hr/employee/login-user-info", route(&ApiGateway::employeeRecord));
    backend(server, "POST", "/back/auth/mobileid/confirm-install", route(&ApiGateway::confirmInstall));
    backend(server, "POST", "/back/auth/mobileid/get-key", route(&ApiGateway::getKey));
    backend(server, "POST", "/back/auth/mobileid/set-key", route(&ApiGateway::setKey));
    backend(server, "GET", "/back/hr/notice/list", route(&ApiGateway::notices));
    backend(server, "GET", "/back/parking/parking/find-by-employee-number", route(&ApiGateway::parkingCars));
    backend(server, "GET", "/back/parking/cost/find", route(&ApiGateway::parkingFees));
    backend(server, "POST", "/back/parking/cost/order-mobile", route(&ApiGateway::feeOrder));
    backend(server, "GET", "/back/common/file/download", route(&ApiGateway::photo));
}

void ApiGateway::backend(httplib::Server& server, const char* method, const std::string& path, Handler handler)
{
    auto fullPath = std::string(basePath) + path;
    auto guarded = [this, fullPath, handler = std::move(handler)](const httplib::Request& request, httplib::Response& response) {
        if (applyFault(fullPath, response))
            return;
        auto token = bearerToken(request);
        if (!token || !tokens_.holderOf(*token, options_.now()))
            return replyError(response, 401, "invalid_token", "The access token is missing, unknown, revoked or expired.");
        handler(request, response);
    };
    if (std::string(method) == "GET")
        server.Get(fullPath, guarded);
    else
        server.Post(fullPath, guarded);
}

bool ApiGateway::applyFault(const std::string& path, httplib::Response& response)
{
    auto fault = faults_.take(path);
    if (!fault)
        return false;
    if (fault->delaySeconds > 0)
        holdWhileRunning(fault->delaySeconds);
    response.status = fault->status;
    response.set_content(fault->body.value_or(json { { "error", "fault" }, { "status", fault->status } }.dump()), fault->contentType);
    return true;
}

void ApiGateway::exchange(const httplib::Request& request, httplib::Response& response)
{
    if (request.get_header_value("Authorization") != "Basic " + base64(options_.clientId + ":" + options_.clientId))
        return replyError(response, 401, "invalid_client", "Client authentication failed.");
    if (param(request, "grant_type") != "okta_id_token")
        return replyError(response, 400, "unsupported_grant_type", "The grant type is not supported.");
    auto claims = options_.verifyIdToken ? options_.verifyIdToken(param(request, "okta_id_token")) : std::nullopt;
    if (!claims || !audienceIncludes(*claims, options_.clientId))
        return replyError(response, 400, "invalid_grant", "The ID token was not issued for this client.");
    auto now = options_.now();
    auto expiry = claims->value("exp", json()).is_number_integer() ? claims->value("exp", std::int64_t { 0 }) : 0;
    // Compared in seconds: a far "exp" does not fit the clock's nanoseconds.
    if (expiry <= std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count())
        return replyError(response, 400, "invalid_grant", "The ID token has expired.");
    auto email = claims->value("email", json());
    if (!email.is_string() || email.get<std::string>().empty())
        return replyError(response, 400, "invalid_grant", "The ID token carries no e-mail address.");

    std::chrono::seconds lifetime;
    {
        std::lock_guard lock(mutex_);
        lifetime = tokenLifetime_;
    }
    auto token = tokens_.issue(email.get<std::string>(), now + lifetime);
    json answer { { "token_type", "Bearer" }, { "access_token", token }, { "expires_in", lifetime.count() },
        { "issued_at", std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count()) } };
    replyJson(response, 200, answer.dump());
}

void ApiGateway::revoke(const httplib::Request& request, httplib::Response& response)
{
    if (param(request, "client_id") != options_.clientId)
        return replyError(response, 401, "invalid_client", "Client authentication failed.");
    if (param(request, "grant_type") != "revoke_token")
        return replyError(response, 400, "unsupported_grant_type", "The grant type is not supported.");
    auto token = bearerToken(request);
    if (!token)
        return replyError(response, 400, "invalid_request", "The token to revoke is missing.");
    // Unknown tokens are answered the same way, so the answer tells nothing.
    tokens_.revoke(*token);
    replyJson(response, 200, json { { "status", "revoked" } }.dump());
}

void ApiGateway::replyEnvelope(httplib::Response& response, json content) const
{
    auto count = content.size();
    json envelope { { "time", formatted(options_.now(), "%Y-%m-%dT%H:%M:%SZ") }, { "resultMessage", "SUCCESS" },
        { "statusCode", "200" }, { "message", "" }, { "contentCnt", count }, { "paging", nullptr }, { "content", std::move(content) } };
    replyJson(response, 200, envelope.dump());
}

void ApiGateway::replyError(httplib::Response& response, int status, const std::string& error, const std::string& description)
{
    replyJson(response, status, json { { "error", error }, { "error_description", description } }.dump());
}

json ApiGateway::withGatewayAddress(const json& value) const
{
    auto text = value.dump();
    replaceAll(text, "{gateway}", baseUrl());
    return json::parse(text);
}

const BackendEmployee* ApiGateway::employeeForUserToken(const httplib::Request& request, httplib::Response& response) const
{
    auto* employee = options_.directory.byUserToken(request.get_header_value("User-Token"));
    if (!employee)
        replyError(response, 403, "forbidden", "The user token is not known.");
    return employee;
}

void ApiGateway::employeeRecord(const httplib::Request& request, httplib::Response& response)
{
    auto claims = options_.verifyIdToken ? options_.verifyIdToken(request.get_header_value("login-token")) : std::nullopt;
    if (!claims || !claims->value("email", json()).is_string())
        return replyError(response, 401, "invalid_login_token", "The login token is missing or not valid.");
    auto* employee = options_.directory.byEmail(claims->value("email", std::string()));
    if (!employee)
        return replyError(response, 403, "forbidden", "No employee record for this user.");
    json item = employee->nested ? json { { "employeeLoginInfo", employee->employeeLoginInfo } } : employee->employeeLoginInfo;
    item["userToken"] = employee->userToken;
    replyEnvelope(response, json::array({ withGatewayAddress(item) }));
}

void ApiGateway::confirmInstall(const httplib::Request& request, httplib::Response& response)
{
    auto email = param(request, "email");
    auto version = param(request, "version");
    if (email.empty() || version.empty())
        return replyError(response, 400, "invalid_request", "email and version are required.");
    {
        std::lock_guard lock(mutex_);
        installs_[email] = version;
    }
    replyEnvelope(response, json::array({ "OK" }));
}

void ApiGateway::getKey(const httplib::Request& request, httplib::Response& response)
{
    auto* employee = employeeForUserToken(request, response);
    if (!employee)
        return;
    auto key = serverKey(employee->email);
    replyEnvelope(response, key ? json::array({ *key }) : json::array());
}

void ApiGateway::setKey(const httplib::Request& request, httplib::Response& response)
{
    auto* employee = employeeForUserToken(request, response);
    if (!employee)
        return;
    if (!request.has_param("refreshToken"))
        return replyError(response, 400, "invalid_request", "refreshToken is required.");
    setServerKey(employee->email, request.get_param_value("refreshToken"));
    replyEnvelope(response, json::array({ "OK" }));
}

void ApiGateway::notices(const httplib::Request& request, httplib::Response& response)
{
    replyEnvelope(response, param(request, "type") == "MOBILE" ? json(options_.directory.notices) : json::array());
}

void ApiGateway::parkingCars(const httplib::Request& request, httplib::Response& response)
{
    auto* employee = options_.directory.byEmployeeNumber(param(request, "employeeNumber"));
    replyEnvelope(response, employee ? json(employee->cars) : json::array());
}

void ApiGateway::parkingFees(const httplib::Request& request, httplib::Response& response)
{
    auto* employee = options_.directory.byEmployeeNumber(param(request, "employeeNumber"));
    auto lot = param(request, "parkingLotCode");
    json rows = json::array();
    for (const auto& car : employee ? employee->cars : std::vector<json> {}) {
        for (const auto& fee : options_.directory.fees) {
            if (fee["carNumber"] == car["carNumber"] && (lot.empty() || lot == "ALL" || fee["parkingLotCode"] == lot))
                rows.push_back(fee);
        }
    }
    replyEnvelope(response, rows);
}

void ApiGateway::feeOrder(const httplib::Request& request, httplib::Response& response)
{
    auto order = platform::parseJsonOrDiscarded(request.body);
    if (!order.is_object() || !order.value("employeeNumber", json()).is_string() || !order.value("costDataList", json()).is_array()
        || order["costDataList"].empty())
        return replyError(response, 400, "invalid_request", "employeeNumber and a non-empty costDataList are required.");
    auto* employee = options_.directory.byEmployeeNumber(order["employeeNumber"].get<std::string>());
    if (!employee)
        return replyError(response, 404, "not_found", "No such employee.");
    auto amount = orderAmount(order["costDataList"]);
    if (!amount)
        return replyError(response, 400, "invalid_request", "Every row needs a cost of 0 or more, and the total must fit the amount.");
    int sequence;
    {
        std::lock_guard lock(mutex_);
        sequence = ++orderCount_;
    }
    auto now = options_.now();
    auto ediDate = formatted(now, "%Y%m%d%H%M%S");
    const std::string mid = "brantwk01m";
    json form { { "amt", *amount }, { "moid", "PK" + ediDate + std::to_string(sequence) }, { "mid", mid },
        { "buyerName", employee->employeeLoginInfo.value("name", "") }, { "buyerTel", employee->employeeLoginInfo.value("phoneNum", "") },
        { "buyerEmail", employee->email }, { "vbankExpDate", formatted(now + std::chrono::hours(24), "%Y%m%d") },
        { "encryptData", TokenSigner::base64Url(TokenSigner::sha256(ediDate + mid + std::to_string(*amount) + "devstack-merchant-key")) },
        { "goodsCl", "1" }, { "ediDate", ediDate } };
    replyEnvelope(response, json::array({ form }));
}

void ApiGateway::photo(const httplib::Request& request, httplib::Response& response)
{
    if (param(request, "id") != options_.directory.photoFileId)
        return replyError(response, 404, "not_found", "No such file.");
    response.status = 200;
    response.set_content(sampleJpeg(), "image/jpeg");
}

} // namespace devstack
