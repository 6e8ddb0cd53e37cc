#include "platform/oidc/AuthorizationRequest.h"

#include "platform/foundation/Hex.h"
#include "platform/net/ParameterEncoding.h"
#include "platform/oidc/Base64Url.h"
#include "platform/security/SecureRandom.h"

#include <openssl/sha.h>

#include <array>

namespace platform {

namespace {

std::optional<std::string> randomText(std::size_t byteCount)
{
    std::vector<std::uint8_t> bytes(byteCount);
    if (secRandomCopyBytes(bytes) != errSecSuccess)
        return std::nullopt;
    return base64UrlEncode(bytes);
}

std::string percentDecode(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            decoded.push_back(' ');
        } else if (text[i] == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 && hexDigitValue(text[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2])));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

} // namespace

std::string pkceChallenge(const std::string& verifier)
{
    std::array<std::uint8_t, SHA256_DIGEST_LENGTH> digest {};
    SHA256(reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size(), digest.data());
    return base64UrlEncode(digest);
}

std::map<std::string, std::string> queryParameters(const std::string& url)
{
    std::map<std::string, std::string> parameters;
    auto question = url.find('?');
    if (question == std::string::npos)
        return parameters;
    auto query = std::string_view(url).substr(question + 1);
    query = query.substr(0, query.find('#'));
    while (!query.empty()) {
        auto pair = query.substr(0, query.find('&'));
        query.remove_prefix(std::min(query.size(), pair.size() + 1));
        if (pair.empty())
            continue;
        auto equals = pair.find('=');
        auto name = percentDecode(pair.substr(0, equals));
        auto value = equals == std::string_view::npos ? std::string() : percentDecode(pair.substr(equals + 1));
        parameters.emplace(std::move(name), std::move(value));
    }
    return parameters;
}

std::optional<AuthorizationRequest> AuthorizationRequest::make()
{
    // 32 bytes give the 43-character verifier; state and nonce need only be unguessable.
    auto verifier = randomText(32);
    auto state = randomText(16);
    auto nonce = randomText(16);
    if (!verifier || !state || !nonce)
        return std::nullopt;
    return AuthorizationRequest { *state, *nonce, *verifier, pkceChallenge(*verifier) };
}

std::string AuthorizationRequest::url(const OpenIdConfiguration& provider, const OidcConfiguration& client) const
{
    Parameters parameters {
        { "client_id", client.clientId },
        { "code_challenge", codeChallenge },
        { "code_challenge_method", "S256" },
        { "nonce", nonce },
        { "redirect_uri", client.redirectUri },
        { "response_type", "code" },
        { "scope", client.scopes },
        { "state", state },
    };
    auto separator = provider.authorizationEndpoint.find('?') == std::string::npos ? "?" : "&";
    return provider.authorizationEndpoint + separator + formEncode(parameters);
}

OidcResult<std::string> AuthorizationRequest::codeFromCallback(const std::string& callbackUrl) const
{
    auto parameters = queryParameters(callbackUrl);
    // A callback whose state is not ours may have been forged: nothing in it is believed.
    auto returnedState = parameters.find("state");
    if (returnedState == parameters.end() || returnedState->second != state)
        return OidcError { OidcError::Code::stateMismatch, "The sign-in answer does not belong to this sign-in.", {} };
    if (auto error = parameters.find("error"); error != parameters.end()) {
        auto description = parameters.find("error_description");
        return OidcError { OidcError::Code::serverError,
            description != parameters.end() && !description->second.empty() ? description->second : error->second, error->second };
    }
    auto code = parameters.find("code");
    if (code == parameters.end() || code->second.empty())
        return OidcError { OidcError::Code::invalidResponse, "The sign-in answer carries no authorization code.", {} };
    return code->second;
}

} // namespace platform
