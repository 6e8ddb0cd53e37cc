#include "platform/net/TransportSecurity.h"

#include "platform/net/HttpHeaderList.h"

namespace platform {

bool isHttpsAddress(std::string_view url)
{
    constexpr std::string_view scheme = "https://";
    return url.size() > scheme.size() && equalsIgnoringCase(url.substr(0, scheme.size()), scheme);
}

TransportError plainAddressRefused()
{
    return TransportError { TransportError::Code::secureConnectionRequired,
        "A secure connection is required: only https addresses are allowed." };
}

bool isSecretHeader(std::string_view name)
{
    for (std::string_view secret : { "Authorization", "Proxy-Authorization", "Cookie", "User-Token", "login-token" }) {
        if (equalsIgnoringCase(name, secret))
            return true;
    }
    return false;
}

} // namespace platform
