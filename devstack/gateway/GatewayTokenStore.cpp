#include "devstack/gateway/GatewayTokenStore.h"

#include "devstack/identity/TokenSigner.h"

namespace devstack {

std::string GatewayTokenStore::issue(const std::string& email, TimePoint expiry)
{
    auto token = "gw" + TokenSigner::randomToken(24);
    std::lock_guard lock(mutex_);
    grants_[token] = Grant { email, expiry, false };
    return token;
}

std::optional<std::string> GatewayTokenStore::holderOf(const std::string& token, TimePoint now) const
{
    std::lock_guard lock(mutex_);
    auto found = grants_.find(token);
    if (found == grants_.end() || found->second.revoked || now >= found->second.expiry)
        return std::nullopt;
    return found->second.email;
}

bool GatewayTokenStore::revoke(const std::string& token)
{
    std::lock_guard lock(mutex_);
    auto found = grants_.find(token);
    if (found == grants_.end())
        return false;
    found->second.revoked = true;
    return true;
}

std::size_t GatewayTokenStore::issuedCount() const
{
    std::lock_guard lock(mutex_);
    return grants_.size();
}

std::optional<GatewayTokenStore::Grant> GatewayTokenStore::grant(const std::string& token) const
{
    std::lock_guard lock(mutex_);
    auto found = grants_.find(token);
    if (found == grants_.end())
        return std::nullopt;
    return found->second;
}

} // namespace devstack
