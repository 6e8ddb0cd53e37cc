#pragma once

#include "platform/foundation/PropertyList.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

// A resource folder with an Info.plist and string tables ("<table>.strings",
// in any form parseStringsTable reads), shaped like the platform's bundles. A
// file that cannot be read gives absent values and one console line.
class Bundle {
public:
    // The application's bundle: $TOLVEN_BUNDLE, else the "Resources" folder
    // beside the executable, unless a test or the host set another path.
    static Bundle& main();
    static void setMainBundlePath(const std::filesystem::path& path);

    explicit Bundle(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // The Info.plist value under `key`, of whatever type it has.
    std::optional<PlistValue> objectForInfoDictionaryKey(const std::string& key) const;
    // CFBundleIdentifier, or empty text.
    std::string bundleIdentifier() const;
    // CFBundleShortVersionString when it is text.
    std::optional<std::string> shortVersionString() const;

    std::optional<std::filesystem::path> pathForResource(const std::string& name, const std::string& extension) const;

    // The translation of `key` in `table` ("Localizable" when empty). Without
    // one: `value` when it is not empty, else the key itself. The table is read
    // again whenever its file changed.
    std::string localizedString(const std::string& key, const std::string& value = {}, const std::string& table = {}) const;

private:
    struct Cache;
    std::filesystem::path path_;
    std::shared_ptr<Cache> cache_;
};

} // namespace platform
