#include "platform/oidc/CredentialStore.h"

#include "platform/security/Keychain.h"

namespace platform {

namespace {

constexpr const char* defaultAccount = "default";

OidcError storageError(const std::string& what, OSStatus status)
{
    return { OidcError::Code::storageFailed, what + " (keychain status " + std::to_string(status) + ").", {} };
}

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return { text.begin(), text.end() };
}

GenericPasswordQuery tokenQuery(const std::string& id)
{
    return { CredentialStore::tokenService, id, SynchronizableMatch::any };
}

GenericPasswordQuery defaultQuery()
{
    return { CredentialStore::defaultService, defaultAccount, SynchronizableMatch::any };
}

GenericPasswordItem itemFor(const char* service, const std::string& account, const std::string& value)
{
    return { service, account, bytesOf(value), KeychainAccessibility::afterFirstUnlockThisDeviceOnly, false };
}

// The stored token under `id`; nothing when none is stored.
std::optional<Token> readToken(const std::string& id)
{
    std::optional<GenericPasswordItem> item;
    auto status = Keychain::standard().copyMatching(tokenQuery(id), item);
    if (status == errSecItemNotFound)
        return std::nullopt;
    if (status != errSecSuccess)
        throw storageError("The stored credential could not be read", status);
    try {
        auto token = Token::fromJson(nlohmann::json::parse(item->data.begin(), item->data.end()));
        if (token.id != id)
            throw std::invalid_argument("identifier mismatch");
        return token;
    } catch (const std::exception&) {
        throw storageError("The stored credential is damaged", errSecDecode);
    }
}

std::optional<std::string> readDefaultId()
{
    std::optional<GenericPasswordItem> item;
    auto status = Keychain::standard().copyMatching(defaultQuery(), item);
    if (status == errSecItemNotFound)
        return std::nullopt;
    if (status != errSecSuccess)
        throw storageError("The default credential could not be read", status);
    return std::string(item->data.begin(), item->data.end());
}

} // namespace

CredentialStore& CredentialStore::shared()
{
    static CredentialStore store;
    return store;
}

std::shared_ptr<Credential> CredentialStore::liveCredential(const Token& token)
{
    std::lock_guard lock(mutex_);
    std::erase_if(live_, [](const auto& entry) { return entry.second.expired(); });
    if (auto existing = live_[token.id].lock())
        return existing;
    auto credential = std::make_shared<Credential>(token);
    live_[token.id] = credential;
    return credential;
}

std::shared_ptr<Credential> CredentialStore::storeCredential(const Token& token)
{
    if (token.id.empty())
        throw OidcError { OidcError::Code::storageFailed, "A token without an identifier cannot be stored.", {} };
    auto& keychain = Keychain::standard();
    auto value = token.toJson().dump();
    auto status = keychain.addItem(itemFor(tokenService, token.id, value));
    if (status == errSecDuplicateItem)
        status = keychain.updateItem(tokenQuery(token.id), bytesOf(value));
    if (status != errSecSuccess)
        throw storageError("The credential could not be stored", status);

    status = keychain.addItem(itemFor(defaultService, defaultAccount, token.id));
    if (status != errSecSuccess && status != errSecDuplicateItem)
        throw storageError("The default credential could not be marked", status);

    // A credential already in memory takes the stored token.
    auto credential = liveCredential(token);
    credential->replaceToken(token);
    return credential;
}

std::shared_ptr<Credential> CredentialStore::defaultCredential()
{
    try {
        auto id = readDefaultId();
        return id ? findCredentialById(*id) : nullptr;
    } catch (const OidcError&) {
        return nullptr;
    }
}

std::shared_ptr<Credential> CredentialStore::findCredentialById(const std::string& id)
{
    {
        std::lock_guard lock(mutex_);
        if (auto found = live_.find(id); found != live_.end()) {
            if (auto existing = found->second.lock())
                return existing;
        }
    }
    auto token = readToken(id);
    return token ? liveCredential(*token) : nullptr;
}

void CredentialStore::deleteCredential(const Credential& credential)
{
    auto id = credential.id();
    auto& keychain = Keychain::standard();
    auto status = keychain.deleteItem(tokenQuery(id));
    if (status != errSecSuccess && status != errSecItemNotFound)
        throw storageError("The credential could not be removed", status);
    {
        std::lock_guard lock(mutex_);
        live_.erase(id);
    }
    if (readDefaultId() == id) {
        status = keychain.deleteItem(defaultQuery());
        if (status != errSecSuccess && status != errSecItemNotFound)
            throw storageError("The default credential could not be unmarked", status);
    }
}

void CredentialStore::updateStoredToken(const Token& token)
{
    // Best effort: the refreshed token stays usable in memory even when the
    // store refuses it, and the next refresh writes again.
    Keychain::standard().updateItem(tokenQuery(token.id), bytesOf(token.toJson().dump()));
}

} // namespace platform
