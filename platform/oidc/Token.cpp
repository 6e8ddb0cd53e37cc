#include "platform/oidc/Token.h"

#include "platform/oidc/ProviderClock.h"

namespace platform {

namespace {

std::optional<std::string> optionalText(const nlohmann::json& json, const char* key)
{
    auto found = json.find(key);
    if (found == json.end() || found->is_null())
        return std::nullopt;
    return found->get<std::string>();
}

// A stored whole number within ±limit. A fraction or a number beyond that is
// a damaged file: converting it would overflow.
std::int64_t storedInteger(const nlohmann::json& value, std::int64_t limit, const char* damage)
{
    bool valid = value.is_number_unsigned() ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(limit)
        : value.is_number_integer() && value.get<std::int64_t>() >= -limit && value.get<std::int64_t>() <= limit;
    if (!valid)
        throw std::invalid_argument(damage);
    return value.get<std::int64_t>();
}

} // namespace

std::optional<WallClockTime> Token::expiresAt() const
{
    if (!issuedAt || !expiresIn)
        return std::nullopt;
    return *issuedAt + *expiresIn;
}

nlohmann::json Token::toJson() const
{
    nlohmann::json json {
        { "id", id },
        { "token_type", tokenType },
        { "access_token", accessToken },
        { "scope", scope },
        { "configuration",
            {
                { "issuer", configuration.issuer },
                { "clientId", configuration.clientId },
                { "scopes", configuration.scopes },
                { "redirectUri", configuration.redirectUri },
                { "logoutRedirectUri", configuration.logoutRedirectUri },
            } },
    };
    if (refreshToken)
        json["refresh_token"] = *refreshToken;
    if (idToken)
        json["id_token"] = *idToken;
    if (issuedAt)
        json["issued_at_ms"] = std::chrono::duration_cast<std::chrono::milliseconds>(issuedAt->time_since_epoch()).count();
    if (expiresIn)
        json["expires_in"] = expiresIn->count();
    return json;
}

Token Token::fromJson(const nlohmann::json& json)
{
    Token token;
    token.id = json.at("id").get<std::string>();
    token.tokenType = json.at("token_type").get<std::string>();
    token.accessToken = json.at("access_token").get<std::string>();
    token.scope = json.value("scope", "");
    token.refreshToken = optionalText(json, "refresh_token");
    token.idToken = optionalText(json, "id_token");
    // Times are kept in nanoseconds: a damaged file's values must not
    // overflow them, nor their sum in expiresAt().
    constexpr std::int64_t timeLimitMs = 4'000'000'000'000, lifetimeLimitS = 4'000'000'000;
    if (auto found = json.find("issued_at_ms"); found != json.end())
        token.issuedAt = WallClockTime(std::chrono::milliseconds(
            storedInteger(*found, timeLimitMs, "A stored token has an impossible issue time.")));
    if (auto found = json.find("expires_in"); found != json.end())
        token.expiresIn = std::chrono::seconds(storedInteger(*found, lifetimeLimitS, "A stored token has an impossible lifetime."));
    const auto& configuration = json.at("configuration");
    token.configuration = { configuration.at("issuer").get<std::string>(), configuration.at("clientId").get<std::string>(),
        configuration.at("scopes").get<std::string>(), configuration.at("redirectUri").get<std::string>(),
        configuration.value("logoutRedirectUri", "") };
    if (token.id.empty())
        throw std::invalid_argument("A stored token has no identifier.");
    return token;
}

bool isTokenExpired(const Token& token)
{
    auto expiry = token.expiresAt();
    return expiry && ProviderClock::now() >= *expiry;
}

} // namespace platform
