#pragma once

#include "platform/oidc/Credential.h"
#include "platform/oidc/Token.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

// The OpenID Connect client's credentials, kept in the keychain (one item per
// token, readable after the first unlock, on this device only) with the
// identifier of the default one. The first credential stored while there is
// no default becomes the default. Operations that can fail throw OidcError
// with the storageFailed code.
class CredentialStore {
public:
    static CredentialStore& shared();

    // Stores `token` (replacing a stored token of the same identifier) and
    // returns its credential.
    std::shared_ptr<Credential> storeCredential(const Token& token);
    // The default credential; nullptr when there is none or it cannot be read.
    std::shared_ptr<Credential> defaultCredential();
    // The credential stored under `id`; nullptr when there is none.
    std::shared_ptr<Credential> findCredentialById(const std::string& id);
    // Removes the credential and its token from the store (and the default
    // mark when it was the default). Removing one that is not stored succeeds.
    void deleteCredential(const Credential& credential);

    // Writes a refreshed token over its stored copy; does nothing when the
    // credential was removed meanwhile.
    void updateStoredToken(const Token& token);

    static constexpr const char* tokenService = "platform.oidc.token";
    // The user-defaults key under which the application keeps a copy of the
    // credential's refresh token; a refresh that rotates it updates the copy.
    static constexpr const char* refreshTokenDefaultsKey = "refreshToken";
    static constexpr const char* defaultService = "platform.oidc.default";

private:
    std::shared_ptr<Credential> liveCredential(const Token& token);

    std::mutex mutex_;
    std::map<std::string, std::weak_ptr<Credential>> live_;
};

} // namespace platform
