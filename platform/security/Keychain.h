#pragma once

#include "platform/security/SecurityStatus.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class KeychainAccessibility {
    whenUnlocked,
    afterFirstUnlock,
    whenUnlockedThisDeviceOnly,
    afterFirstUnlockThisDeviceOnly,
};

// Which synchronisation state a query matches. Like the platform, a query that
// says nothing matches only items that are not synchronisable.
enum class SynchronizableMatch { notSynchronizable, synchronizable, any };

struct GenericPasswordItem {
    std::string service;
    std::string account;
    std::vector<std::uint8_t> data;
    KeychainAccessibility accessibility = KeychainAccessibility::whenUnlocked;
    bool synchronizable = false;

    bool operator==(const GenericPasswordItem&) const = default;
};

struct GenericPasswordQuery {
    std::string service;
    std::string account;
    SynchronizableMatch synchronizable = SynchronizableMatch::notSynchronizable;
};

// The generic-password class of the platform's keychain, kept in one
// owner-only property-list file. An item is identified by service, account and
// synchronisation state. Every operation holds an advisory lock on a file
// beside the store for its whole read-modify-write, so threads and processes
// sharing the store see each change whole. A store that cannot be read or
// decoded answers errSecIO or errSecDecode and is never overwritten. The
// first use of a store in a process clears the temporaries that killed writes
// of it left.
class Keychain {
public:
    // The application's keychain, below the current data folder.
    static Keychain& standard();

    // A keychain kept in `file`; empty means the application's data folder,
    // looked up on every call.
    explicit Keychain(std::filesystem::path file = {});

    std::filesystem::path file() const;

    // errSecDuplicateItem when an item with the same identity exists; an
    // existing item is never replaced.
    OSStatus addItem(const GenericPasswordItem& item);
    // The first item matching `query`, or errSecItemNotFound.
    OSStatus copyMatching(const GenericPasswordQuery& query, std::optional<GenericPasswordItem>& result) const;
    // Replaces the data of every matching item, or errSecItemNotFound.
    OSStatus updateItem(const GenericPasswordQuery& query, const std::vector<std::uint8_t>& data);
    // Removes every matching item, or errSecItemNotFound when none matched.
    OSStatus deleteItem(const GenericPasswordQuery& query);

    enum class Operation { add, copy, update, remove };

private:
    std::filesystem::path file_;
};

} // namespace platform
