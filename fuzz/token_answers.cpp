// The gateway's token answer and the identity provider's token, both from
// bytes sent or stored by others.
#include "TOLVEN/signin/ApigeeTokenDTO.h"
#include "platform/oidc/Token.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto json = nlohmann::json::parse(data, data + size, nullptr, false);
    if (json.is_discarded())
        return 0;
    try {
        (void)tolven::ApigeeTokenDTO::decode(json);
    } catch (const tolven::DecodingError&) {
    }
    try {
        auto token = platform::Token::fromJson(json);
        (void)token.toJson().dump();
        (void)platform::isTokenExpired(token);
    } catch (const std::exception&) {
    }
    return 0;
}
