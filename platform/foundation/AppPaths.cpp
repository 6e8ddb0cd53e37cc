#include "platform/foundation/AppPaths.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex mutex;
std::filesystem::path configuredRoot;

std::filesystem::path defaultRoot()
{
    if (const char* explicitRoot = std::getenv("TOLVEN_DATA_HOME"); explicitRoot && *explicitRoot)
        return explicitRoot;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".local/share/tolven";
    return std::filesystem::temp_directory_path() / "tolven";
}

} // namespace

std::filesystem::path dataRoot()
{
    std::lock_guard lock(mutex);
    if (configuredRoot.empty())
        configuredRoot = defaultRoot();
    return configuredRoot;
}

void setDataRoot(std::filesystem::path root)
{
    std::lock_guard lock(mutex);
    configuredRoot = std::move(root);
}

std::filesystem::path preferencesFolder()
{
    return dataRoot() / "Library" / "Preferences";
}

std::filesystem::path documentsFolder()
{
    return dataRoot() / "Documents";
}

} // namespace platform
