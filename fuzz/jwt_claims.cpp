// ID tokens come from the identity provider; their claims are read unverified.
#include "platform/oidc/Jwt.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        auto claims = platform::decodeJwtClaims({ reinterpret_cast<const char*>(data), size });
        (void)claims.dump();
    } catch (const platform::JwtDecodingError&) {
    }
    return 0;
}
