#pragma once

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string_view>

namespace platform {

// Why a text could not be read as a JWT.
class JwtDecodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The claims of a JWT's body as a JSON object, without any signature check:
// callers use it only to read what the token says about its holder. Throws
// JwtDecodingError for anything that is not three Base64url parts whose
// header and body are JSON objects, the empty text included.
nlohmann::json decodeJwtClaims(std::string_view jwt);

} // namespace platform
