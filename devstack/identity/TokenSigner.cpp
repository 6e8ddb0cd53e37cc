#include "devstack/identity/TokenSigner.h"

#include "platform/net/JsonParsing.h"
#include "platform/oidc/Base64Url.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/sha.h>

#include <optional>
#include <stdexcept>
#include <vector>

namespace devstack {

struct TokenSigner::Key {
    EVP_PKEY* pkey = nullptr;
    ~Key() { EVP_PKEY_free(pkey); }
};

namespace {

std::string bigNumberBytes(EVP_PKEY* key, const char* name)
{
    BIGNUM* number = nullptr;
    if (!EVP_PKEY_get_bn_param(key, name, &number))
        throw std::runtime_error("cannot read the signing key");
    std::string bytes(static_cast<std::size_t>(BN_num_bytes(number)), '\0');
    BN_bn2bin(number, reinterpret_cast<unsigned char*>(bytes.data()));
    BN_free(number);
    return bytes;
}

} // namespace

TokenSigner::TokenSigner()
    : key_(std::make_unique<Key>())
{
    key_->pkey = EVP_RSA_gen(2048);
    if (!key_->pkey)
        throw std::runtime_error("cannot make the signing key");
    keyId_ = randomToken(12);
}

TokenSigner::~TokenSigner() = default;

std::string TokenSigner::base64Url(const std::string& bytes)
{
    return platform::base64UrlEncode({ reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() });
}

std::optional<std::string> TokenSigner::fromBase64Url(const std::string& text)
{
    return platform::base64UrlDecode(text);
}

std::string TokenSigner::randomToken(std::size_t byteCount)
{
    std::string bytes(byteCount, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(byteCount)) != 1)
        throw std::runtime_error("no random bytes");
    return base64Url(bytes);
}

std::string TokenSigner::sha256(const std::string& bytes)
{
    std::string digest(SHA256_DIGEST_LENGTH, '\0');
    SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

std::string TokenSigner::sign(const nlohmann::json& claims) const
{
    nlohmann::json header { { "alg", "RS256" }, { "kid", keyId_ }, { "typ", "JWT" } };
    auto input = base64Url(header.dump()) + "." + base64Url(claims.dump());
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    std::size_t length = 0;
    std::string signature;
    bool ok = context && EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, key_->pkey) == 1
        && EVP_DigestSign(context, nullptr, &length, reinterpret_cast<const unsigned char*>(input.data()), input.size()) == 1;
    if (ok) {
        signature.resize(length);
        ok = EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &length,
                 reinterpret_cast<const unsigned char*>(input.data()), input.size())
            == 1;
        signature.resize(length);
    }
    EVP_MD_CTX_free(context);
    if (!ok)
        throw std::runtime_error("cannot sign a token");
    return input + "." + base64Url(signature);
}

std::optional<nlohmann::json> TokenSigner::verify(const std::string& jwt) const
{
    auto lastDot = jwt.rfind('.');
    auto firstDot = jwt.find('.');
    if (firstDot == std::string::npos || lastDot == firstDot)
        return std::nullopt;
    auto input = jwt.substr(0, lastDot);
    auto signature = fromBase64Url(jwt.substr(lastDot + 1));
    auto body = fromBase64Url(jwt.substr(firstDot + 1, lastDot - firstDot - 1));
    if (!signature || !body)
        return std::nullopt;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    bool valid = context && EVP_DigestVerifyInit(context, nullptr, EVP_sha256(), nullptr, key_->pkey) == 1
        && EVP_DigestVerify(context, reinterpret_cast<const unsigned char*>(signature->data()), signature->size(),
               reinterpret_cast<const unsigned char*>(input.data()), input.size())
            == 1;
    EVP_MD_CTX_free(context);
    if (!valid)
        return std::nullopt;
    auto claims = platform::parseJsonOrDiscarded(*body);
    if (claims.is_discarded() || !claims.is_object())
        return std::nullopt;
    return claims;
}

nlohmann::json TokenSigner::jwks() const
{
    return { { "keys",
        nlohmann::json::array({ {
            { "kty", "RSA" },
            { "alg", "RS256" },
            { "use", "sig" },
            { "kid", keyId_ },
            { "n", base64Url(bigNumberBytes(key_->pkey, OSSL_PKEY_PARAM_RSA_N)) },
            { "e", base64Url(bigNumberBytes(key_->pkey, OSSL_PKEY_PARAM_RSA_E)) },
        } }) } };
}

} // namespace devstack
