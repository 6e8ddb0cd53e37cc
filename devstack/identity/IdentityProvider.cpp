#include "devstack/identity/IdentityProvider.h"

#include "devstack/identity/SignInPage.h"
#include "platform/foundation/Clock.h"
#include "platform/net/ParameterEncoding.h"

#include <algorithm>
#include <ctime>
#include <sstream>

namespace devstack {

namespace {

constexpr std::chrono::seconds codeLifetime { 60 };

std::string withQuery(const std::string& address, const std::vector<std::pair<std::string, std::string>>& parameters)
{
    std::string url = address;
    char separator = address.find('?') == std::string::npos ? '?' : '&';
    for (const auto& [name, value] : parameters) {
        url += separator + platform::percentEscape(name) + "=" + platform::percentEscape(value);
        separator = '&';
    }
    return url;
}

std::string httpDate(std::chrono::system_clock::time_point time)
{
    std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts {};
    ::gmtime_r(&seconds, &parts);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

std::int64_t epochSeconds(std::chrono::system_clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

std::vector<std::string> scopeWords(const std::string& scopes)
{
    std::vector<std::string> words;
    std::istringstream stream(scopes);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool hasScope(const std::string& scopes, const std::string& wanted)
{
    auto words = scopeWords(scopes);
    return std::find(words.begin(), words.end(), wanted) != words.end();
}

std::string param(const httplib::Request& request, const char* name)
{
    return request.has_param(name) ? request.get_param_value(name) : std::string();
}

void redirect(httplib::Response& response, const std::string& location)
{
    response.status = 302;
    response.set_header("Location", location);
}

void page(httplib::Response& response, int status, const std::string& html)
{
    response.status = status;
    response.set_content(html, "text/html; charset=utf-8");
}

} // namespace

IdentityProvider::IdentityProvider(Options options)
    : HttpsService("identity")
    , options_(std::move(options))
    , tokenLifetime_(options_.tokenLifetime)
{
}

IdentityProvider::~IdentityProvider()
{
    // Handlers use the members below, so they must end first.
    stop();
}

void IdentityProvider::setTokenLifetime(std::chrono::seconds lifetime)
{
    std::lock_guard lock(mutex_);
    tokenLifetime_ = lifetime;
}

void IdentityProvider::setRefreshAnswerShape(RefreshAnswerShape shape)
{
    std::lock_guard lock(mutex_);
    refreshAnswerShape_ = shape;
}

bool IdentityProvider::isRefreshTokenActive(const std::string& refreshToken) const
{
    std::lock_guard lock(mutex_);
    auto found = refreshTokens_.find(refreshToken);
    return found != refreshTokens_.end() && !found->second.consumed;
}

std::chrono::system_clock::time_point IdentityProvider::now() const
{
    return options_.now ? options_.now() : platform::clock().now();
}

void IdentityProvider::forgetStaleSignInsLocked(std::chrono::system_clock::time_point now)
{
    std::erase_if(pendingSignIns_, [now](const auto& entry) { return entry.second.expiry <= now; });
    std::erase_if(codes_, [now](const auto& entry) { return entry.second.expiry <= now; });
    while (!pendingSignIns_.empty() && pendingSignIns_.size() >= options_.maximumPendingSignIns) {
        auto oldest = std::min_element(pendingSignIns_.begin(), pendingSignIns_.end(),
            [](const auto& a, const auto& b) { return a.second.expiry < b.second.expiry; });
        pendingSignIns_.erase(oldest);
    }
}

std::string IdentityProvider::issueRefreshTokenLocked(const std::string& username, const std::string& scope, const std::string& grantId)
{
    auto refreshToken = TokenSigner::randomToken(32);
    refreshTokens_[refreshToken] = RefreshGrant { username, scope, grantId, false };
    return refreshToken;
}

void IdentityProvider::installRoutes(httplib::Server& server)
{
    server.Get("/.well-known/openid-configuration", [this](const auto& request, auto& response) { discovery(request, response); });
    server.Get("/oauth2/v1/authorize", [this](const auto& request, auto& response) { authorize(request, response); });
    server.Post("/oauth2/v1/authorize/signin", [this](const auto& request, auto& response) { signIn(request, response); });
    server.Post("/oauth2/v1/token", [this](const auto& request, auto& response) { token(request, response); });
    server.Post("/oauth2/v1/revoke", [this](const auto& request, auto& response) { revoke(request, response); });
    server.Get("/oauth2/v1/logout", [this](const auto& request, auto& response) { logout(request, response); });
    server.Get("/oauth2/v1/keys", [this](const auto&, auto& response) { replyJson(response, 200, signer_.jwks().dump()); });
}

void IdentityProvider::discovery(const httplib::Request&, httplib::Response& response) const
{
    auto base = issuer();
    nlohmann::json document {
        { "issuer", base },
        { "authorization_endpoint", base + "/oauth2/v1/authorize" },
        { "token_endpoint", base + "/oauth2/v1/token" },
        { "jwks_uri", base + "/oauth2/v1/keys" },
        { "revocation_endpoint", base + "/oauth2/v1/revoke" },
        { "end_session_endpoint", base + "/oauth2/v1/logout" },
        { "response_types_supported", { "code" } },
        { "grant_types_supported", { "authorization_code", "refresh_token" } },
        { "subject_types_supported", { "public" } },
        { "id_token_signing_alg_values_supported", { "RS256" } },
        { "code_challenge_methods_supported", { "S256" } },
        { "scopes_supported", { "openid", "profile", "email", "offline_access" } },
        { "token_endpoint_auth_methods_supported", { "none" } },
    };
    replyJson(response, 200, document.dump());
}

void IdentityProvider::authorize(const httplib::Request& request, httplib::Response& response)
{
    // Without a known client and a registered address there is nowhere safe
    // to send an error, so it is shown on the page.
    if (param(request, "client_id") != options_.clientId) {
        page(response, 400, messagePage("Bad request", "The client is not known to this provider."));
        return;
    }
    auto redirectUri = param(request, "redirect_uri");
    if (std::find(options_.redirectUris.begin(), options_.redirectUris.end(), redirectUri) == options_.redirectUris.end()) {
        page(response, 400, messagePage("Bad request", "The redirect address is not registered for this client."));
        return;
    }
    auto state = param(request, "state");
    auto fail = [&](const std::string& error, const std::string& description) {
        redirect(response, withQuery(redirectUri, { { "error", error }, { "error_description", description }, { "state", state } }));
    };
    if (param(request, "response_type") != "code")
        return fail("unsupported_response_type", "The response type is not supported.");
    if (!hasScope(param(request, "scope"), "openid"))
        return fail("invalid_scope", "The scope must include openid.");
    if (param(request, "code_challenge").empty() || param(request, "code_challenge_method") != "S256")
        return fail("invalid_request", "A PKCE code challenge with method S256 is required.");

    PendingSignIn pending;
    for (const char* name : { "redirect_uri", "state", "nonce", "scope", "code_challenge" })
        pending.parameters[name] = param(request, name);
    auto now = this->now();
    pending.expiry = now + options_.pendingSignInLifetime;
    auto transaction = TokenSigner::randomToken(16);
    {
        std::lock_guard lock(mutex_);
        forgetStaleSignInsLocked(now);
        pendingSignIns_[transaction] = std::move(pending);
    }
    page(response, 200, signInPage(transaction, ""));
}

void IdentityProvider::signIn(const httplib::Request& request, httplib::Response& response)
{
    auto transaction = param(request, "transaction");
    std::unique_lock lock(mutex_);
    auto pending = pendingSignIns_.find(transaction);
    if (pending != pendingSignIns_.end() && pending->second.expiry <= now()) {
        pendingSignIns_.erase(pending);
        pending = pendingSignIns_.end();
    }
    if (pending == pendingSignIns_.end()) {
        lock.unlock();
        page(response, 400, messagePage("Sign-in expired", "This sign-in is no longer valid. Start again from the application."));
        return;
    }
    const auto* user = userNamed(param(request, "username"));
    if (!user || user->password != param(request, "password")) {
        lock.unlock();
        page(response, 200, signInPage(transaction, "Sign in failed!"));
        return;
    }
    auto parameters = std::move(pending->second.parameters);
    pendingSignIns_.erase(pending);
    const auto& redirectUri = parameters["redirect_uri"];
    if (!user->assignedToApplication) {
        lock.unlock();
        redirect(response, withQuery(redirectUri,
            { { "error", "access_denied" }, { "error_description", notAssignedDescription }, { "state", parameters["state"] } }));
        return;
    }
    auto code = TokenSigner::randomToken(24);
    codes_[code] = IssuedCode { user->username, redirectUri, parameters["code_challenge"], parameters["nonce"], parameters["scope"],
        now() + codeLifetime };
    lock.unlock();
    redirect(response, withQuery(redirectUri, { { "code", code }, { "state", parameters["state"] } }));
}

void IdentityProvider::token(const httplib::Request& request, httplib::Response& response)
{
    response.set_header("Date", httpDate(now()));
    response.set_header("Cache-Control", "no-store");
    if (param(request, "client_id") != options_.clientId)
        return oauthError(response, 401, "invalid_client", "Client authentication failed.");

    auto grantType = param(request, "grant_type");
    std::unique_lock lock(mutex_);
    if (grantType == "authorization_code") {
        auto found = codes_.find(param(request, "code"));
        if (found == codes_.end()) {
            lock.unlock();
            return oauthError(response, 400, "invalid_grant", "The authorization code is invalid or has expired.");
        }
        // A code is good for one attempt, whatever its outcome.
        auto code = std::move(found->second);
        codes_.erase(found);
        lock.unlock();
        if (code.expiry <= now())
            return oauthError(response, 400, "invalid_grant", "The authorization code is invalid or has expired.");
        if (param(request, "redirect_uri") != code.redirectUri)
            return oauthError(response, 400, "invalid_grant", "The redirect_uri does not match the authorization request.");
        auto verifier = param(request, "code_verifier");
        if (verifier.size() < 43 || verifier.size() > 128 || TokenSigner::base64Url(TokenSigner::sha256(verifier)) != code.codeChallenge)
            return oauthError(response, 400, "invalid_grant", "PKCE verification failed.");
        const auto* user = userNamed(code.username);
        std::optional<std::string> refreshToken;
        if (hasScope(code.scope, "offline_access")) {
            std::lock_guard relock(mutex_);
            refreshToken = issueRefreshTokenLocked(code.username, code.scope, TokenSigner::randomToken(12));
        }
        return answerTokens(response, *user, code.scope, code.nonce, refreshToken);
    }
    lock.unlock();
    if (grantType == "refresh_token")
        return refresh(request, response);
    oauthError(response, 400, "unsupported_grant_type", "The grant type is not supported.");
}

void IdentityProvider::refresh(const httplib::Request& request, httplib::Response& response)
{
    std::unique_lock lock(mutex_);
    auto found = refreshTokens_.find(param(request, "refresh_token"));
    if (found == refreshTokens_.end()) {
        lock.unlock();
        return oauthError(response, 400, "invalid_grant", "The refresh token is invalid or expired.");
    }
    auto grant = found->second;
    if (grant.consumed) {
        // Someone holds a token that was already replaced: the legitimate
        // holder or a thief, there is no telling, so neither keeps the grant.
        std::erase_if(refreshTokens_, [&](const auto& entry) { return entry.second.grantId == grant.grantId; });
        lock.unlock();
        return oauthError(response, 400, "invalid_grant", "The refresh token is invalid or expired.");
    }
    // A refresh may narrow the scope of the new access token, never widen the grant.
    auto scope = grant.scope;
    if (request.has_param("scope")) {
        auto granted = scopeWords(grant.scope);
        for (const auto& word : scopeWords(param(request, "scope"))) {
            if (std::find(granted.begin(), granted.end(), word) == granted.end()) {
                lock.unlock();
                return oauthError(response, 400, "invalid_scope", "The requested scope exceeds the granted scope.");
            }
        }
        if (!scopeWords(param(request, "scope")).empty())
            scope = param(request, "scope");
    }
    auto refreshToken = found->first;
    if (options_.rotateRefreshTokens) {
        found->second.consumed = true;
        refreshToken = issueRefreshTokenLocked(grant.username, grant.scope, grant.grantId);
    }
    auto shape = refreshAnswerShape_;
    lock.unlock();
    answerTokens(response, *userNamed(grant.username), scope, std::nullopt, refreshToken, shape);
}

void IdentityProvider::answerTokens(httplib::Response& response, const IdentityUser& user, const std::string& scope,
    const std::optional<std::string>& nonce, const std::optional<std::string>& refreshToken, RefreshAnswerShape shape)
{
    auto now = this->now();
    std::chrono::seconds lifetime;
    {
        std::lock_guard lock(mutex_);
        lifetime = tokenLifetime_;
    }
    auto issuedAt = epochSeconds(now);
    auto expiresAt = epochSeconds(now + lifetime);

    nlohmann::json scopes = nlohmann::json::array();
    std::istringstream words(scope);
    for (std::string word; words >> word;)
        scopes.push_back(word);
    nlohmann::json access { { "ver", 1 }, { "jti", "AT." + TokenSigner::randomToken(12) }, { "iss", issuer() },
        { "aud", issuer() }, { "sub", user.username }, { "uid", user.subject }, { "cid", options_.clientId },
        { "scp", scopes }, { "iat", issuedAt }, { "exp", expiresAt } };
    nlohmann::json identity { { "ver", 1 }, { "jti", "ID." + TokenSigner::randomToken(12) }, { "iss", issuer() },
        { "aud", options_.clientId }, { "sub", user.subject }, { "name", user.name },
        { "preferred_username", user.username }, { "amr", { "pwd" } }, { "idp", "brantwick" }, { "iat", issuedAt },
        { "exp", expiresAt }, { "auth_time", issuedAt } };
    if (!user.email.empty())
        identity["email"] = user.email;
    if (nonce && !nonce->empty())
        identity["nonce"] = *nonce;

    nlohmann::json answer { { "token_type", "Bearer" }, { "access_token", signer_.sign(access) }, { "scope", scope } };
    if (shape.includesLifetime)
        answer["expires_in"] = lifetime.count();
    if (shape.includesIdToken && hasScope(scope, "openid"))
        answer["id_token"] = signer_.sign(identity);
    if (refreshToken)
        answer["refresh_token"] = *refreshToken;
    replyJson(response, 200, answer.dump());
}

void IdentityProvider::revoke(const httplib::Request& request, httplib::Response& response)
{
    if (param(request, "client_id") != options_.clientId)
        return oauthError(response, 401, "invalid_client", "Client authentication failed.");
    if (param(request, "token").empty())
        return oauthError(response, 400, "invalid_request", "The token is missing.");
    {
        std::lock_guard lock(mutex_);
        refreshTokens_.erase(param(request, "token"));
    }
    // Unknown tokens are answered the same way, so the answer tells nothing.
    response.status = 200;
}

void IdentityProvider::logout(const httplib::Request& request, httplib::Response& response) const
{
    auto hint = param(request, "id_token_hint");
    if (!hint.empty()) {
        auto claims = signer_.verify(hint);
        if (!claims || claims->value("iss", "") != issuer()) {
            page(response, 400, messagePage("Bad request", "The ID token hint was not issued by this provider."));
            return;
        }
    }
    auto target = param(request, "post_logout_redirect_uri");
    if (target.empty()) {
        page(response, 200, messagePage("Signed out", "You are signed out."));
        return;
    }
    const auto& allowed = options_.postLogoutRedirectUris;
    if (!allowed.empty() && std::find(allowed.begin(), allowed.end(), target) == allowed.end()) {
        page(response, 400, messagePage("Bad request", "The address after logout is not registered for this client."));
        return;
    }
    auto state = param(request, "state");
    redirect(response, state.empty() ? target : withQuery(target, { { "state", state } }));
}

void IdentityProvider::oauthError(httplib::Response& response, int status, const std::string& error, const std::string& description) const
{
    replyJson(response, status, nlohmann::json { { "error", error }, { "error_description", description } }.dump());
}

const IdentityUser* IdentityProvider::userNamed(const std::string& username) const
{
    for (const auto& user : options_.users) {
        if (user.username == username)
            return &user;
    }
    return nullptr;
}

} // namespace devstack
