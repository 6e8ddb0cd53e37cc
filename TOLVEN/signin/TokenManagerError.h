#pragma once

#include "platform/net/HttpClientError.h"

namespace tolven {

// The token manager's own failures, in its error domain with negative codes.
struct TokenManagerError {
    static constexpr const char* domain = "TokenManager";

    static platform::DomainError idTokenMissing() { return { domain, -1, "idToken is nil" }; }
    static platform::DomainError clientIdNotEncodable() { return { domain, -2, "Failed to base64 clientID" }; }
};

} // namespace tolven
