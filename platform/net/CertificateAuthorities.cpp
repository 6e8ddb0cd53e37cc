#include "platform/net/CertificateAuthorities.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex mutex;
std::optional<std::filesystem::path> configured;

} // namespace

void setExtraCertificateAuthorityFile(std::optional<std::filesystem::path> path)
{
    std::lock_guard lock(mutex);
    configured = std::move(path);
}

std::optional<std::filesystem::path> extraCertificateAuthorityFile()
{
    {
        std::lock_guard lock(mutex);
        if (configured)
            return configured;
    }
    if (const char* fromEnvironment = std::getenv("TOLVEN_EXTRA_CA_FILE"); fromEnvironment && *fromEnvironment)
        return std::filesystem::path(fromEnvironment);
    return std::nullopt;
}

} // namespace platform
