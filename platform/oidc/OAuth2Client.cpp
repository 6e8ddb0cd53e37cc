#include "platform/oidc/OAuth2Client.h"

#include "platform/net/HttpSession.h"
#include "platform/oidc/Jwt.h"
#include "platform/oidc/ProviderClock.h"
#include "platform/security/Uuid.h"

#include <algorithm>
#include <vector>

namespace platform {

struct OAuth2Client::Grant {
    Parameters parameters;
    // The identifier the new token gets.
    std::string tokenId;
    // Kept when the provider sends no new one: a refresh answer may leave out
    // the refresh token and the ID token.
    std::optional<std::string> previousRefreshToken;
    std::optional<std::string> previousIdToken;
    // The token's scope when the answer names none.
    std::string requestedScope;
    // Required in the ID token of an authorization-code grant.
    std::optional<std::string> expectedNonce;
};

namespace {

std::optional<std::string> optionalText(const nlohmann::json& json, const char* key)
{
    auto found = json.find(key);
    if (found == json.end() || !found->is_string())
        return std::nullopt;
    return found->get<std::string>();
}

OidcError invalidResponse(std::string why)
{
    return { OidcError::Code::invalidResponse, std::move(why), {} };
}

OidcError invalidIdToken(std::string why)
{
    return { OidcError::Code::invalidIdToken, std::move(why), {} };
}

// The provider's and this device's clocks never agree to the second.
constexpr std::chrono::seconds idTokenClockLeeway { 120 };
// No real token lives ten years; a larger lifetime would overflow the expiry arithmetic.
constexpr std::int64_t longestLifetimeSeconds = 10LL * 365 * 24 * 3600;

// "expires_in" of a token answer: unknown when absent (it is only
// recommended), a positive whole number of seconds as a JSON number or a
// decimal text, and an error for anything else.
OidcResult<std::optional<std::chrono::seconds>> lifetimeFrom(const nlohmann::json& answer)
{
    auto found = answer.find("expires_in");
    if (found == answer.end() || found->is_null())
        return std::optional<std::chrono::seconds>();
    std::optional<std::int64_t> seconds;
    if (found->is_number_integer()) {
        seconds = found->get<std::int64_t>();
    } else if (found->is_string()) {
        const auto& text = found->get_ref<const std::string&>();
        bool digits = !text.empty() && text.size() <= 18
            && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (digits)
            seconds = std::stoll(text);
    }
    if (!seconds || *seconds <= 0)
        return invalidResponse("The identity provider's token answer has an unreadable lifetime.");
    return std::optional(std::chrono::seconds(std::min(*seconds, longestLifetimeSeconds)));
}

std::optional<double> numberClaim(const nlohmann::json& claims, const char* key)
{
    auto found = claims.find(key);
    if (found == claims.end() || !found->is_number())
        return std::nullopt;
    return found->get<double>();
}

// The ID token came straight from the token endpoint over verified TLS, so
// its signature is not checked again; what is checked is that it was made
// for this client by this provider, and for this sign-in.
std::optional<OidcError> checkIdToken(
    const std::string& idToken, const OidcConfiguration& configuration, const std::optional<std::string>& expectedNonce)
{
    nlohmann::json claims;
    try {
        claims = decodeJwtClaims(idToken);
    } catch (const JwtDecodingError& error) {
        return invalidIdToken(error.what());
    }
    if (!claims.is_object())
        return invalidIdToken("The ID token's claims are not a JSON object.");
    if (optionalText(claims, "iss") != configuration.issuer)
        return invalidIdToken("The ID token was issued by another provider.");
    auto audience = claims.find("aud");
    bool forUs = audience != claims.end()
        && ((audience->is_string() && *audience == configuration.clientId)
            || (audience->is_array() && std::find(audience->begin(), audience->end(), configuration.clientId) != audience->end()));
    if (!forUs)
        return invalidIdToken("The ID token was issued for another client.");
    if (expectedNonce && optionalText(claims, "nonce") != *expectedNonce)
        return invalidIdToken("The ID token does not belong to this sign-in.");
    // Judged by the provider's clock, learnt from this very answer, so that a
    // device whose calendar is off still accepts a fresh token.
    auto now = std::chrono::duration<double>(ProviderClock::now().time_since_epoch()).count();
    auto leeway = static_cast<double>(idTokenClockLeeway.count());
    auto expiry = numberClaim(claims, "exp");
    auto issuedAt = numberClaim(claims, "iat");
    if (!expiry || !issuedAt)
        return invalidIdToken("The ID token does not say when it was issued and when it expires.");
    if (*expiry + leeway <= now)
        return invalidIdToken("The ID token has expired.");
    if (*issuedAt - leeway > now)
        return invalidIdToken("The ID token was issued in the future.");
    return std::nullopt;
}

} // namespace

std::shared_ptr<OAuth2Client> OAuth2Client::forConfiguration(const OidcConfiguration& configuration)
{
    static std::mutex mutex;
    static std::vector<std::shared_ptr<OAuth2Client>> clients;
    std::lock_guard lock(mutex);
    for (const auto& client : clients) {
        if (client->configuration() == configuration)
            return client;
    }
    clients.push_back(std::make_shared<OAuth2Client>(configuration));
    return clients.back();
}

OAuth2Client::OAuth2Client(OidcConfiguration configuration)
    : configuration_(std::move(configuration))
{
}

const DispatchQueue& OAuth2Client::queue()
{
    static const DispatchQueue queue("platform.oidc");
    return queue;
}

void OAuth2Client::openIdConfiguration(Completion<OpenIdConfiguration> completion)
{
    {
        std::lock_guard lock(mutex_);
        if (discovered_) {
            queue().async([document = *discovered_, completion = std::move(completion)] { completion(document); });
            return;
        }
    }
    auto url = OpenIdConfiguration::discoveryUrl(configuration_.issuer);
    defaultHttpSession()
        .requestWithParameters(url, HttpMethod::get(), std::nullopt, UrlEncoding::methodDependent, { { "Accept", "application/json" } })
        ->validateStatus()
        .onJSONResponse(queue(), [self = shared_from_this(), completion = std::move(completion)](const DataResponse<nlohmann::json>& response) {
            if (!response.result) {
                completion(OidcError { OidcError::Code::networkError,
                    "The identity provider's configuration could not be loaded: " + response.result.error().description(), {} });
                return;
            }
            auto document = OpenIdConfiguration::fromJson(response.result.value(), self->configuration_.issuer);
            if (document) {
                std::lock_guard lock(self->mutex_);
                self->discovered_ = document.value();
            }
            completion(document);
        });
}

void OAuth2Client::exchangeAuthorizationCode(const std::string& code, const std::string& codeVerifier,
    const std::string& expectedNonce, Completion<Token> completion)
{
    Grant grant {
        { { "grant_type", "authorization_code" }, { "code", code }, { "code_verifier", codeVerifier },
            { "redirect_uri", configuration_.redirectUri }, { "client_id", configuration_.clientId } },
        makeUuidString(), std::nullopt, std::nullopt, configuration_.scopes, expectedNonce
    };
    requestToken(std::move(grant), std::move(completion));
}

void OAuth2Client::refresh(const Token& token, Completion<Token> completion)
{
    if (!token.refreshToken || token.refreshToken->empty()) {
        queue().async([completion = std::move(completion)] {
            completion(OidcError { OidcError::Code::missingRefreshToken, "The token has no refresh token.", {} });
        });
        return;
    }
    Grant grant { { { "grant_type", "refresh_token" }, { "refresh_token", *token.refreshToken }, { "client_id", configuration_.clientId } },
        token.id, token.refreshToken, token.idToken, token.scope, std::nullopt };
    // A refresh may not ask for more than was granted, and a provider that
    // did not grant every configured scope refuses the whole request. Without
    // a scope the provider keeps the granted one, which is the only safe
    // choice when the grant is not known (a bare refresh token).
    if (!token.scope.empty())
        grant.parameters["scope"] = token.scope;
    requestToken(std::move(grant), std::move(completion));
}

void OAuth2Client::restoreTokenFromRefreshToken(const std::string& refreshToken, Completion<Token> completion)
{
    Token token;
    token.id = makeUuidString();
    token.refreshToken = refreshToken;
    refresh(token, std::move(completion));
}

void OAuth2Client::requestToken(Grant grant, Completion<Token> completion)
{
    openIdConfiguration([self = shared_from_this(), grant = std::move(grant), completion = std::move(completion)](
                            const OidcResult<OpenIdConfiguration>& document) mutable {
        if (!document) {
            completion(document.error());
            return;
        }
        defaultHttpSession()
            .requestWithParameters(document.value().tokenEndpoint, HttpMethod::post(), grant.parameters, UrlEncoding::httpBody,
                { { "Accept", "application/json" } })
            ->onRawResponse(queue(), [self, grant, completion = std::move(completion)](const RawResponse& raw) {
                if (!raw.response) {
                    completion(OidcError { OidcError::Code::networkError,
                        "The identity provider could not be reached: " + (raw.error ? raw.error->description() : std::string("no answer")), {} });
                    return;
                }
                if (auto date = raw.response->headers.value("Date"))
                    ProviderClock::learnFromDateHeader(*date);
                auto json = nlohmann::json::parse(raw.data.value_or(""), nullptr, false);
                int status = raw.response->statusCode;
                if (status < 200 || status > 299) {
                    auto error = json.is_object() ? optionalText(json, "error") : std::nullopt;
                    if (!error) {
                        completion(OidcError { OidcError::Code::networkError,
                            "The identity provider answered with HTTP " + std::to_string(status) + ".", {} });
                        return;
                    }
                    auto description = optionalText(json, "error_description");
                    completion(OidcError { OidcError::Code::serverError, description.value_or(*error), *error });
                    return;
                }
                completion(self->tokenFromAnswer(json, grant));
            });
    });
}

OidcResult<Token> OAuth2Client::tokenFromAnswer(const nlohmann::json& answer, const Grant& grant) const
{
    if (!answer.is_object())
        return invalidResponse("The identity provider's token answer is not a JSON object.");
    Token token;
    token.id = grant.tokenId;
    token.configuration = configuration_;
    auto accessToken = optionalText(answer, "access_token");
    auto tokenType = optionalText(answer, "token_type");
    if (!accessToken || accessToken->empty() || !tokenType)
        return invalidResponse("The identity provider's token answer lacks the access token or its type.");
    auto lifetime = lifetimeFrom(answer);
    if (!lifetime)
        return lifetime.error();
    token.accessToken = *accessToken;
    token.tokenType = *tokenType;
    token.expiresIn = lifetime.value();
    token.issuedAt = std::chrono::time_point_cast<std::chrono::milliseconds>(ProviderClock::now());
    token.scope = optionalText(answer, "scope").value_or(grant.requestedScope);
    token.refreshToken = optionalText(answer, "refresh_token");
    if (!token.refreshToken)
        token.refreshToken = grant.previousRefreshToken;
    token.idToken = optionalText(answer, "id_token");
    if (grant.expectedNonce && !token.idToken)
        return invalidIdToken("The identity provider sent no ID token.");
    if (token.idToken) {
        if (auto problem = checkIdToken(*token.idToken, configuration_, grant.expectedNonce))
            return *problem;
    } else {
        // The earlier ID token still names the user; it was checked when it came.
        token.idToken = grant.previousIdToken;
    }
    return token;
}

} // namespace platform
