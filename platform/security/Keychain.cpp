#include "platform/security/Keychain.h"

#include "platform/foundation/AppPaths.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/PropertyList.h"
#include "platform/testing/Seams.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

namespace platform {

namespace {

std::mutex hookMutex;
std::function<void(Keychain::Operation)> beforeOperationHook;

void runBeforeOperationHook(Keychain::Operation operation)
{
    std::function<void(Keychain::Operation)> hook;
    {
        std::lock_guard lock(hookMutex);
        hook = beforeOperationHook;
    }
    if (hook)
        hook(operation);
}

constexpr std::array accessibilityNames {
    std::pair { KeychainAccessibility::whenUnlocked, "ak" },
    std::pair { KeychainAccessibility::afterFirstUnlock, "ck" },
    std::pair { KeychainAccessibility::whenUnlockedThisDeviceOnly, "aku" },
    std::pair { KeychainAccessibility::afterFirstUnlockThisDeviceOnly, "cku" },
};

const char* nameOf(KeychainAccessibility accessibility)
{
    for (auto [value, name] : accessibilityNames) {
        if (value == accessibility)
            return name;
    }
    return "ak";
}

std::optional<KeychainAccessibility> accessibilityNamed(const std::string& name)
{
    for (auto [value, known] : accessibilityNames) {
        if (name == known)
            return value;
    }
    return std::nullopt;
}

// Holds the store's advisory lock for one operation. flock locks belong to the
// open file description, so two threads of one process exclude each other too.
class StoreLock {
public:
    StoreLock(const std::filesystem::path& store, bool exclusive)
    {
        std::error_code error;
        std::filesystem::create_directories(store.parent_path(), error);
        if (!error)
            std::filesystem::permissions(store.parent_path(), std::filesystem::perms::owner_all, error);
        auto lockPath = store;
        lockPath += ".lock";
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return;
        while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~StoreLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

using Items = std::vector<GenericPasswordItem>;

std::optional<GenericPasswordItem> decodeItem(const PlistValue& value)
{
    auto* fields = value.get<PlistValue::Dictionary>();
    if (!fields)
        return std::nullopt;
    auto field = [&](const char* key) -> const PlistValue* {
        auto found = fields->find(key);
        return found == fields->end() ? nullptr : &found->second;
    };
    auto* service = field("svce");
    auto* account = field("acct");
    auto* data = field("v_Data");
    auto* accessibility = field("pdmn");
    auto* synchronizable = field("sync");
    if (!service || !service->is<std::string>() || !account || !account->is<std::string>() || !data
        || !data->is<PlistValue::Data>() || !accessibility || !accessibility->is<std::string>() || !synchronizable
        || !synchronizable->is<bool>())
        return std::nullopt;
    auto level = accessibilityNamed(*accessibility->get<std::string>());
    if (!level)
        return std::nullopt;
    return GenericPasswordItem { *service->get<std::string>(), *account->get<std::string>(),
        *data->get<PlistValue::Data>(), *level, *synchronizable->get<bool>() };
}

PlistValue encodeItem(const GenericPasswordItem& item)
{
    return PlistValue(PlistValue::Dictionary {
        { "class", PlistValue("genp") },
        { "svce", PlistValue(item.service) },
        { "acct", PlistValue(item.account) },
        { "v_Data", PlistValue(item.data) },
        { "pdmn", PlistValue(nameOf(item.accessibility)) },
        { "sync", PlistValue(item.synchronizable) },
    });
}

// Reads the whole store. A missing file is an empty store; anything that is
// not a list of well-formed items is a damaged one.
OSStatus readItems(const std::filesystem::path& file, Items& items)
{
    items.clear();
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return error ? errSecIO : errSecSuccess;
    if (!std::filesystem::is_regular_file(file, error))
        return errSecIO;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return errSecIO;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return errSecIO;
    auto parsed = parsePropertyList(bytes.str());
    auto* list = parsed ? parsed->get<PlistValue::Array>() : nullptr;
    if (!list)
        return errSecDecode;
    for (const auto& value : *list) {
        auto item = decodeItem(value);
        if (!item)
            return errSecDecode;
        items.push_back(std::move(*item));
    }
    return errSecSuccess;
}

OSStatus writeItems(const std::filesystem::path& file, const Items& items)
{
    PlistValue::Array list;
    for (const auto& item : items)
        list.push_back(encodeItem(item));
    return writeFileAtomically(file, serializePropertyList(PlistValue(std::move(list)))) ? errSecSuccess : errSecIO;
}

bool matches(const GenericPasswordQuery& query, const GenericPasswordItem& item)
{
    if (item.service != query.service || item.account != query.account)
        return false;
    switch (query.synchronizable) {
    case SynchronizableMatch::notSynchronizable:
        return !item.synchronizable;
    case SynchronizableMatch::synchronizable:
        return item.synchronizable;
    case SynchronizableMatch::any:
        return true;
    }
    return false;
}

// Clears what writes killed before their rename left beside `store`, the
// first time this process uses it.
void removeStaleTemporariesOnce(const std::filesystem::path& store)
{
    static std::mutex sweptMutex;
    static std::set<std::filesystem::path> swept;
    {
        std::lock_guard lock(sweptMutex);
        if (!swept.insert(store).second)
            return;
    }
    removeStaleTemporaries(store);
}

// Runs `body` on the stored items while the store is locked, shared for
// reads and exclusive for changes, so racing callers see whole operations.
template<typename Body>
OSStatus withLockedItems(const std::filesystem::path& store, bool exclusive, Body body)
{
    StoreLock lock(store, exclusive);
    if (!lock.held())
        return errSecIO;
    removeStaleTemporariesOnce(store);
    Items items;
    if (auto status = readItems(store, items); status != errSecSuccess)
        return status;
    return body(items);
}

} // namespace

Keychain& Keychain::standard()
{
    static Keychain keychain;
    return keychain;
}

Keychain::Keychain(std::filesystem::path file)
    : file_(std::move(file))
{
}

std::filesystem::path Keychain::file() const
{
    return file_.empty() ? dataRoot() / "Library" / "Keychains" / "keychain.plist" : file_;
}

OSStatus Keychain::addItem(const GenericPasswordItem& item)
{
    runBeforeOperationHook(Operation::add);
    auto store = file();
    return withLockedItems(store, true, [&](Items& items) {
        for (const auto& existing : items) {
            if (existing.service == item.service && existing.account == item.account
                && existing.synchronizable == item.synchronizable)
                return errSecDuplicateItem;
        }
        items.push_back(item);
        return writeItems(store, items);
    });
}

OSStatus Keychain::copyMatching(const GenericPasswordQuery& query, std::optional<GenericPasswordItem>& result) const
{
    result.reset();
    runBeforeOperationHook(Operation::copy);
    return withLockedItems(file(), false, [&](Items& items) {
        for (auto& item : items) {
            if (matches(query, item)) {
                result = std::move(item);
                return errSecSuccess;
            }
        }
        return errSecItemNotFound;
    });
}

OSStatus Keychain::updateItem(const GenericPasswordQuery& query, const std::vector<std::uint8_t>& data)
{
    runBeforeOperationHook(Operation::update);
    auto store = file();
    return withLockedItems(store, true, [&](Items& items) {
        bool found = false;
        for (auto& item : items) {
            if (matches(query, item)) {
                item.data = data;
                found = true;
            }
        }
        return found ? writeItems(store, items) : errSecItemNotFound;
    });
}

OSStatus Keychain::deleteItem(const GenericPasswordQuery& query)
{
    runBeforeOperationHook(Operation::remove);
    auto store = file();
    return withLockedItems(store, true, [&](Items& items) {
        auto removed = std::erase_if(items, [&](const auto& item) { return matches(query, item); });
        return removed ? writeItems(store, items) : errSecItemNotFound;
    });
}

void setKeychainBeforeOperationHookForTesting(std::function<void(Keychain::Operation)> hook)
{
    std::lock_guard lock(hookMutex);
    beforeOperationHook = std::move(hook);
}

} // namespace platform
