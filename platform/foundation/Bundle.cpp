#include "platform/foundation/Bundle.h"

#include <cstdlib>
#include <map>
#include <unistd.h>

namespace platform {

// A parsed file remembered with the write time it had when it was read.
struct Bundle::Cache {
    struct Entry {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        std::optional<PlistValue> content;
    };
    std::mutex mutex;
    std::map<std::filesystem::path, Entry> files;

    std::optional<PlistValue> read(const std::filesystem::path& file)
    {
        std::error_code error;
        auto modified = std::filesystem::last_write_time(file, error);
        if (error)
            return std::nullopt;
        auto size = std::filesystem::file_size(file, error);
        std::lock_guard lock(mutex);
        auto& entry = files[file];
        if (entry.modified != modified || entry.size != size || !entry.content) {
            entry = Entry { modified, size, readPropertyListFile(file) };
        }
        return entry.content;
    }
};

namespace {

std::mutex mainMutex;
std::unique_ptr<Bundle> mainBundle;

std::filesystem::path defaultMainBundlePath()
{
    if (const char* configured = std::getenv("TOLVEN_BUNDLE"); configured && *configured)
        return configured;
    std::error_code error;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path("Resources") : executable.parent_path() / "Resources";
}

} // namespace

Bundle& Bundle::main()
{
    std::lock_guard lock(mainMutex);
    if (!mainBundle)
        mainBundle = std::make_unique<Bundle>(defaultMainBundlePath());
    return *mainBundle;
}

void Bundle::setMainBundlePath(const std::filesystem::path& path)
{
    std::lock_guard lock(mainMutex);
    // Earlier bundles stay alive: callers may hold references to them.
    static std::vector<std::unique_ptr<Bundle>> retired;
    if (mainBundle)
        retired.push_back(std::move(mainBundle));
    mainBundle = std::make_unique<Bundle>(path);
}

Bundle::Bundle(std::filesystem::path path)
    : path_(std::move(path))
    , cache_(std::make_shared<Cache>())
{
}

std::optional<PlistValue> Bundle::objectForInfoDictionaryKey(const std::string& key) const
{
    auto info = cache_->read(path_ / "Info.plist");
    if (!info)
        return std::nullopt;
    auto* dictionary = info->get<PlistValue::Dictionary>();
    if (!dictionary)
        return std::nullopt;
    if (auto found = dictionary->find(key); found != dictionary->end())
        return found->second;
    return std::nullopt;
}

std::string Bundle::bundleIdentifier() const
{
    auto value = objectForInfoDictionaryKey("CFBundleIdentifier");
    auto* text = value ? value->get<std::string>() : nullptr;
    return text ? *text : std::string();
}

std::optional<std::string> Bundle::shortVersionString() const
{
    auto value = objectForInfoDictionaryKey("CFBundleShortVersionString");
    auto* text = value ? value->get<std::string>() : nullptr;
    return text ? std::optional(*text) : std::nullopt;
}

std::optional<std::filesystem::path> Bundle::pathForResource(const std::string& name, const std::string& extension) const
{
    if (name.empty() || name.find("..") != std::string::npos || name.find('/') != std::string::npos)
        return std::nullopt;
    auto candidate = path_ / (extension.empty() ? name : name + "." + extension);
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error))
        return candidate;
    return std::nullopt;
}

std::string Bundle::localizedString(const std::string& key, const std::string& value, const std::string& table) const
{
    auto file = pathForResource(table.empty() ? "Localizable" : table, "strings");
    if (file) {
        auto strings = cache_->read(*file);
        auto* dictionary = strings ? strings->get<PlistValue::Dictionary>() : nullptr;
        if (dictionary) {
            if (auto found = dictionary->find(key); found != dictionary->end())
                if (auto* text = found->second.get<std::string>())
                    return *text;
        }
    }
    return value.empty() ? key : value;
}

} // namespace platform
