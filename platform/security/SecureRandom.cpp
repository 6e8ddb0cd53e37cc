#include "platform/security/SecureRandom.h"

#include "platform/testing/Seams.h"

#include <sys/random.h>

#include <cerrno>
#include <mutex>

namespace platform {

namespace {

std::mutex sourceMutex;
std::function<OSStatus(std::span<std::uint8_t>)> testSource;

OSStatus systemRandomBytes(std::span<std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        auto got = ::getrandom(bytes.data(), bytes.size(), 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errSecIO;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(got));
    }
    return errSecSuccess;
}

} // namespace

OSStatus secRandomCopyBytes(std::span<std::uint8_t> bytes)
{
    std::function<OSStatus(std::span<std::uint8_t>)> source;
    {
        std::lock_guard lock(sourceMutex);
        source = testSource;
    }
    return source ? source(bytes) : systemRandomBytes(bytes);
}

void setSecureRandomSourceForTesting(std::function<OSStatus(std::span<std::uint8_t>)> source)
{
    std::lock_guard lock(sourceMutex);
    testSource = std::move(source);
}

} // namespace platform
