#pragma once

#include <filesystem>
#include <optional>

namespace devstack {

// The launcher's data folder: the one asked for, or a fresh temporary one that
// is removed again when this goes away unless it is to be kept.
class DataFolder {
public:
    // Throws std::runtime_error when the folder cannot be made.
    DataFolder(const std::optional<std::filesystem::path>& requested, bool keep);
    ~DataFolder();
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    bool isRemovedAtExit() const { return removeAtExit_; }

private:
    std::filesystem::path path_;
    bool removeAtExit_ = false;
};

} // namespace devstack
