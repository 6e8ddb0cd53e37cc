#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/AppPaths.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Console.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>

namespace platform {

namespace {

std::mutex registryMutex;
std::map<std::filesystem::path, std::shared_ptr<UserDefaults>> registry;

bool usableDomainName(const std::string& name)
{
    return !name.empty() && name.size() <= 200 && name.find('/') == std::string::npos && name != "." && name != ".."
        && name != "NSGlobalDomain" && name.find('\0') == std::string::npos;
}

// Renames `from` to `to` unless `to` exists (errno EEXIST then).
bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // Some file systems do not offer the flag; a hard link refuses to replace too.
    if (errno != EINVAL || ::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

// Moves a damaged domain file to "<name>.damaged" (or "<name>.damaged-2", ...)
// without replacing an earlier damaged copy.
void moveAside(const std::filesystem::path& path)
{
    for (int attempt = 1; attempt <= 100; ++attempt) {
        auto aside = path;
        aside += attempt == 1 ? std::string(".damaged") : ".damaged-" + std::to_string(attempt);
        if (renameWithoutReplacing(path, aside)) {
            console("UserDefaults: " + path.filename().string() + " could not be read and was moved aside");
            return;
        }
        if (errno != EEXIST)
            break;
    }
    console("UserDefaults: " + path.filename().string() + " could not be read nor moved aside");
}

// Loads the domain stored at `path`. A damaged file is never overwritten:
// `mustOpen` domains move it aside and start empty, others stay absent.
std::shared_ptr<UserDefaults> openDomain(const std::filesystem::path& path, bool mustOpen)
{
    std::lock_guard lock(registryMutex);
    if (auto found = registry.find(path); found != registry.end())
        return found->second;

    removeStaleTemporaries(path);
    PlistValue::Dictionary values;
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        auto stored = readPropertyListFile(path);
        if (stored && stored->is<PlistValue::Dictionary>()) {
            values = *stored->get<PlistValue::Dictionary>();
        } else if (mustOpen) {
            moveAside(path);
        } else {
            return nullptr;
        }
    }
    auto domain = std::make_shared<UserDefaults>(path, std::move(values));
    registry.emplace(path, domain);
    return domain;
}

} // namespace

UserDefaults::UserDefaults(std::filesystem::path path, PlistValue::Dictionary values)
    : path_(std::move(path))
    , values_(std::move(values))
{
}

UserDefaults& UserDefaults::standard()
{
    auto name = Bundle::main().bundleIdentifier();
    if (!usableDomainName(name))
        name = "standard";
    return *openDomain(preferencesFolder() / (name + ".plist"), true);
}

std::shared_ptr<UserDefaults> UserDefaults::suite(const std::string& name)
{
    if (!usableDomainName(name) || name == Bundle::main().bundleIdentifier())
        return nullptr;
    return openDomain(preferencesFolder() / (name + ".plist"), false);
}

std::optional<PlistValue> UserDefaults::objectForKey(const std::string& key) const
{
    std::lock_guard lock(mutex_);
    if (auto found = values_.find(key); found != values_.end())
        return found->second;
    return std::nullopt;
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const
{
    auto value = objectForKey(key);
    if (!value)
        return 0;
    if (auto* integer = value->get<std::int64_t>())
        return *integer;
    if (auto* real = value->get<double>())
        return std::isfinite(*real) ? static_cast<std::int64_t>(*real) : 0;
    if (auto* flag = value->get<bool>())
        return *flag ? 1 : 0;
    if (auto* text = value->get<std::string>())
        return std::strtoll(text->c_str(), nullptr, 10);
    return 0;
}

bool UserDefaults::boolForKey(const std::string& key) const
{
    auto value = objectForKey(key);
    if (!value)
        return false;
    if (auto* flag = value->get<bool>())
        return *flag;
    if (auto* integer = value->get<std::int64_t>())
        return *integer != 0;
    if (auto* real = value->get<double>())
        return *real != 0;
    if (auto* text = value->get<std::string>()) {
        // The platform's reading of text: "YES", "true" or a non-zero number.
        auto start = text->find_first_not_of(" \t\n");
        if (start == std::string::npos)
            return false;
        char first = (*text)[start];
        if (first == 'Y' || first == 'y' || first == 'T' || first == 't')
            return true;
        return std::strtod(text->c_str() + start, nullptr) != 0;
    }
    return false;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const
{
    auto value = objectForKey(key);
    if (!value)
        return std::nullopt;
    if (auto* text = value->get<std::string>())
        return *text;
    if (auto* integer = value->get<std::int64_t>())
        return std::to_string(*integer);
    return std::nullopt;
}

std::optional<PlistValue::Array> UserDefaults::arrayForKey(const std::string& key) const
{
    auto value = objectForKey(key);
    if (value && value->is<PlistValue::Array>())
        return *value->get<PlistValue::Array>();
    return std::nullopt;
}

std::optional<PlistValue::Dictionary> UserDefaults::dictionaryForKey(const std::string& key) const
{
    auto value = objectForKey(key);
    if (value && value->is<PlistValue::Dictionary>())
        return *value->get<PlistValue::Dictionary>();
    return std::nullopt;
}

void UserDefaults::setObject(const std::string& key, PlistValue value)
{
    std::lock_guard lock(mutex_);
    values_.insert_or_assign(key, std::move(value));
    persistLocked();
}

void UserDefaults::removeObject(const std::string& key)
{
    std::lock_guard lock(mutex_);
    if (values_.erase(key))
        persistLocked();
}

void UserDefaults::persistLocked() const
{
    if (!writeFileAtomically(path_, serializePropertyList(PlistValue(values_))))
        console("UserDefaults: could not write " + path_.filename().string());
}

} // namespace platform
