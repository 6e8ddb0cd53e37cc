#include "platform/net/MaskedSecret.h"

#include "platform/net/HttpHeaderList.h"
#include "platform/net/ParameterEncoding.h"
#include "platform/net/TransportSecurity.h"

namespace platform {

namespace {

bool isCredentialParameter(std::string_view name)
{
    for (std::string_view secret : { "token", "access_token", "refresh_token", "refreshToken", "id_token", "okta_id_token",
             "client_secret", "code", "code_verifier", "password" }) {
        if (name == secret)
            return true;
    }
    return false;
}

// The first characters stay escaped as they were sent; the ellipsis stays readable.
std::string maskedFormValue(std::string_view encoded)
{
    std::string value = formDecode(encoded);
    if (value.empty())
        return {};
    std::string shown = maskedSecret(value);
    constexpr std::string_view ellipsis = "…";
    return percentEscape(std::string_view(shown).substr(0, shown.size() - ellipsis.size())) + std::string(ellipsis);
}

} // namespace

std::string maskedSecret(std::string_view secret)
{
    if (secret.empty())
        return {};
    // Cut on a character boundary so a masked UTF-8 text stays valid.
    std::size_t cut = 0;
    for (int characters = 0; cut < secret.size() && characters < 4; ++characters) {
        ++cut;
        while (cut < secret.size() && (static_cast<unsigned char>(secret[cut]) & 0xC0) == 0x80)
            ++cut;
    }
    return std::string(secret.substr(0, cut)) + "…";
}

std::string maskedHeaderValue(std::string_view name, std::string_view value)
{
    if (!isSecretHeader(name))
        return std::string(value);
    auto space = value.find(' ');
    bool hasScheme = space != std::string_view::npos
        && (equalsIgnoringCase(name, "Authorization") || equalsIgnoringCase(name, "Proxy-Authorization"));
    if (!hasScheme)
        return maskedSecret(value);
    return std::string(value.substr(0, space + 1)) + maskedSecret(value.substr(space + 1));
}

std::string maskedFormBody(std::string_view body)
{
    std::string masked;
    while (true) {
        auto end = body.find('&');
        std::string_view pair = body.substr(0, end);
        auto equals = pair.find('=');
        if (equals != std::string_view::npos && isCredentialParameter(formDecode(pair.substr(0, equals))))
            masked += std::string(pair.substr(0, equals + 1)) + maskedFormValue(pair.substr(equals + 1));
        else
            masked += pair;
        if (end == std::string_view::npos)
            return masked;
        masked += '&';
        body.remove_prefix(end + 1);
    }
}

} // namespace platform
