#include "platform/foundation/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <string>

namespace platform {

namespace {

std::mutex hookMutex;
std::function<void(const std::filesystem::path&)> beforeRenameHook;

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        auto written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::filesystem::perms permissions)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        return false;

    std::string temporary = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, static_cast<mode_t>(permissions)) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }

    std::function<void(const std::filesystem::path&)> hook;
    {
        std::lock_guard lock(hookMutex);
        hook = beforeRenameHook;
    }
    if (hook)
        hook(temporary);

    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    int dir = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void setBeforeRenameHookForTesting(std::function<void(const std::filesystem::path&)> hook)
{
    std::lock_guard lock(hookMutex);
    beforeRenameHook = std::move(hook);
}

} // namespace platform
