#pragma once

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

namespace devstack {

// An RS256 key made when the provider starts: signs JWTs and publishes its
// public half as a JSON Web Key Set.
class TokenSigner {
public:
    TokenSigner();
    ~TokenSigner();
    TokenSigner(const TokenSigner&) = delete;
    TokenSigner& operator=(const TokenSigner&) = delete;

    const std::string& keyId() const { return keyId_; }

    // header.body.signature, with "alg" "RS256" and this key's "kid".
    std::string sign(const nlohmann::json& claims) const;
    // The claims of a JWT this signer made; nothing for any other text.
    std::optional<nlohmann::json> verify(const std::string& jwt) const;

    nlohmann::json jwks() const;

    static std::string base64Url(const std::string& bytes);
    static std::optional<std::string> fromBase64Url(const std::string& text);
    // Base64url of `byteCount` random bytes, for codes and opaque tokens.
    static std::string randomToken(std::size_t byteCount = 32);
    static std::string sha256(const std::string& bytes);

private:
    struct Key;
    std::unique_ptr<Key> key_;
    std::string keyId_;
};

} // namespace devstack
