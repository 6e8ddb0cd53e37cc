#include "devstack/run/DataFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace devstack {

DataFolder::DataFolder(const std::optional<std::filesystem::path>& requested, bool keep)
{
    if (requested) {
        // A folder someone named is theirs: it is never removed.
        std::error_code error;
        std::filesystem::create_directories(*requested, error);
        if (error)
            throw std::runtime_error("cannot make the data folder " + requested->string() + ": " + error.message());
        path_ = *requested;
        return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "tolven-devstack-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary data folder: " + std::string(std::strerror(errno)));
    path_ = pattern;
    removeAtExit_ = !keep;
}

DataFolder::~DataFolder()
{
    if (!removeAtExit_)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace devstack
