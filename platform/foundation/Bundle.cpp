#include "platform/foundation/Bundle.h"

#include "platform/foundation/Console.h"
#include "platform/foundation/StringsTable.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// A parsed file remembered with the identity and times it had when it was
// read: a replacement written within the same clock tick still has another
// inode. A file that cannot be decoded is reported once per version of it.
struct Bundle::Cache {
    using Decoder = std::function<std::optional<PlistValue>(std::string_view bytes, std::string& error)>;
    struct Version {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified {};
        timespec changed {};

        bool operator==(const Version& other) const
        {
            auto same = [](const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
            return device == other.device && inode == other.inode && size == other.size && same(modified, other.modified)
                && same(changed, other.changed);
        }
    };
    struct Entry {
        Version version;
        std::optional<PlistValue> content;
    };
    std::mutex mutex;
    std::map<std::filesystem::path, Entry> files;

    std::optional<PlistValue> read(const std::filesystem::path& file, const Decoder& decode)
    {
        struct stat info {};
        if (::stat(file.c_str(), &info) != 0)
            return std::nullopt;
        const Version version { info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim };
        std::lock_guard lock(mutex);
        auto [found, added] = files.try_emplace(file);
        auto& entry = found->second;
        if (added || !(entry.version == version)) {
            entry.version = version;
            std::string problem = "no access";
            if (auto bytes = readWholeFile(file))
                entry.content = decode(*bytes, problem);
            else
                entry.content.reset();
            if (!entry.content)
                console("Bundle: " + file.filename().string() + " could not be read: " + problem);
        }
        return entry.content;
    }

    static std::optional<std::string> readWholeFile(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return std::nullopt;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return in.bad() ? std::nullopt : std::optional(bytes.str());
    }
};

namespace {

std::optional<PlistValue> decodePropertyList(std::string_view bytes, std::string& error)
{
    auto value = parsePropertyList(bytes);
    if (!value)
        error = "not a property list";
    return value;
}

std::optional<PlistValue> decodeStringsTable(std::string_view bytes, std::string& error)
{
    auto table = parseStringsTable(bytes, error);
    if (!table)
        return std::nullopt;
    PlistValue::Dictionary texts;
    for (auto& [key, text] : *table)
        texts.emplace(std::piecewise_construct, std::forward_as_tuple(key), std::forward_as_tuple(std::move(text)));
    return std::optional<PlistValue>(std::in_place, std::move(texts));
}

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
    auto info = cache_->read(path_ / "Info.plist", decodePropertyList);
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
        auto strings = cache_->read(*file, decodeStringsTable);
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
