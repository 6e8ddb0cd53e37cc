#include "platform/foundation/AtomicFile.h"

#include "platform/testing/Seams.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>

namespace platform {

namespace {

std::mutex hookMutex;
std::function<void(const std::filesystem::path&)> beforeRenameHook;

constexpr std::size_t uniqueSuffixLength = 6; // mkstemp's XXXXXX

std::string temporaryPrefix(const std::filesystem::path& path)
{
    return "." + path.filename().string() + ".";
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) { }
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

bool lock(int fd, int operation)
{
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

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

// Creates the temporary for `path` and locks it for as long as the returned
// descriptor stays open, so that a sweep never takes it for a dead writer's.
// A sweep may unlink the file between its creation and the lock: then a new
// one is made.
int createLockedTemporary(const std::filesystem::path& path, std::string& name)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        name = (path.parent_path() / (temporaryPrefix(path) + std::string(uniqueSuffixLength, 'X'))).string();
        int fd = ::mkstemp(name.data());
        if (fd < 0)
            return -1;
        struct stat info {};
        if (lock(fd, LOCK_EX) && ::fstat(fd, &info) == 0 && info.st_nlink > 0)
            return fd;
        ::close(fd);
    }
    return -1;
}

bool looksLikeTemporaryOf(const std::string& name, const std::string& prefix)
{
    if (name.size() != prefix.size() + uniqueSuffixLength || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (auto c : std::string_view(name).substr(prefix.size())) {
        bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alphanumeric)
            return false;
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

    std::string temporary;
    FileDescriptor fd(createLockedTemporary(path, temporary));
    if (fd.get() < 0)
        return false;
    if (::fchmod(fd.get(), static_cast<mode_t>(permissions)) != 0 || !writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
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
    int dir = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void removeStaleTemporaries(const std::filesystem::path& path)
{
    const auto prefix = temporaryPrefix(path);
    std::error_code error;
    std::filesystem::directory_iterator entries(path.parent_path(), error);
    if (error)
        return;
    for (const auto& entry : entries) {
        const auto candidate = entry.path();
        if (!looksLikeTemporaryOf(candidate.filename().string(), prefix)
            || entry.symlink_status(error).type() != std::filesystem::file_type::regular)
            continue;
        FileDescriptor fd(::open(candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue; // a writer is still at work on it
        // Unlink only the file that was locked, not one that took its name since.
        struct stat held {}, named {};
        if (::fstat(fd.get(), &held) == 0 && ::lstat(candidate.c_str(), &named) == 0 && held.st_dev == named.st_dev
            && held.st_ino == named.st_ino && S_ISREG(named.st_mode) && named.st_uid == ::geteuid())
            ::unlink(candidate.c_str());
    }
}

void setBeforeRenameHookForTesting(std::function<void(const std::filesystem::path&)> hook)
{
    std::lock_guard lock(hookMutex);
    beforeRenameHook = std::move(hook);
}

} // namespace platform
