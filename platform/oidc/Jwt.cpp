#include "platform/oidc/Jwt.h"

#include "platform/oidc/Base64Url.h"

namespace platform {

namespace {

nlohmann::json decodeJsonObjectPart(std::string_view part, const char* name)
{
    auto bytes = base64UrlDecode(part);
    if (!bytes || bytes->empty())
        throw JwtDecodingError(std::string("The token's ") + name + " is not Base64url.");
    auto json = nlohmann::json::parse(*bytes, nullptr, false);
    if (json.is_discarded() || !json.is_object())
        throw JwtDecodingError(std::string("The token's ") + name + " is not a JSON object.");
    return json;
}

} // namespace

nlohmann::json decodeJwtClaims(std::string_view jwt)
{
    if (jwt.empty())
        throw JwtDecodingError("The token is empty.");
    auto firstDot = jwt.find('.');
    auto secondDot = firstDot == std::string_view::npos ? firstDot : jwt.find('.', firstDot + 1);
    if (secondDot == std::string_view::npos || jwt.find('.', secondDot + 1) != std::string_view::npos)
        throw JwtDecodingError("The token does not have three parts.");
    decodeJsonObjectPart(jwt.substr(0, firstDot), "header");
    auto claims = decodeJsonObjectPart(jwt.substr(firstDot + 1, secondDot - firstDot - 1), "body");
    // The signature is not checked, but it must at least be Base64url.
    if (!base64UrlDecode(jwt.substr(secondDot + 1)))
        throw JwtDecodingError("The token's signature is not Base64url.");
    return claims;
}

} // namespace platform
