#pragma once

#include "platform/foundation/PropertyList.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

// A persistent key-value domain, read with the platform's semantics: a missing
// integer reads 0, a missing flag false. Every change is written through to a
// property-list file in the preferences folder, atomically and owner-only;
// opening a domain clears the temporaries that killed writes of it left.
// All operations are safe from any thread.
class UserDefaults {
public:
    // The application's own domain, named after the main bundle's identifier.
    static UserDefaults& standard();

    // A named suite, shared by every caller that opens the same name. Absent
    // when the name is unusable or its file exists but cannot be read: callers
    // then fall back as if no suite existed, and the file is left untouched.
    static std::shared_ptr<UserDefaults> suite(const std::string& name);

    std::optional<PlistValue> objectForKey(const std::string& key) const;
    std::int64_t integerForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    std::optional<std::string> stringForKey(const std::string& key) const;
    std::optional<PlistValue::Array> arrayForKey(const std::string& key) const;
    std::optional<PlistValue::Dictionary> dictionaryForKey(const std::string& key) const;

    void setObject(const std::string& key, PlistValue value);
    void setInteger(const std::string& key, std::int64_t value) { setObject(key, PlistValue(value)); }
    void setBool(const std::string& key, bool value) { setObject(key, PlistValue(value)); }
    void setString(const std::string& key, std::string value) { setObject(key, PlistValue(std::move(value))); }
    void removeObject(const std::string& key);

    const std::filesystem::path& path() const { return path_; }

    UserDefaults(std::filesystem::path path, PlistValue::Dictionary values);

private:
    void persistLocked() const;

    const std::filesystem::path path_;
    mutable std::mutex mutex_;
    PlistValue::Dictionary values_;
};

} // namespace platform
