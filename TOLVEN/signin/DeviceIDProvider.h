#pragma once

#include "platform/security/SecurityStatus.h"

#include <optional>
#include <string>

namespace tolven {

// A short random identifier of this installation, kept in one keychain item so
// that every later launch gets the same one back. All operations run on the
// calling thread and throw DeviceIDProvider::DeviceIDError.
class DeviceIDProvider {
public:
    DeviceIDProvider() = delete;

    // A plain error value, without a message of its own.
    struct DeviceIDError {
        enum class Case { unhandled, invalidLength, duplicateItem, randomFailed };

        Case kind;
        // The keychain's status, for `unhandled` only.
        platform::OSStatus status = platform::errSecSuccess;

        static DeviceIDError unhandled(platform::OSStatus status) { return { Case::unhandled, status }; }
        static DeviceIDError invalidLength() { return { Case::invalidLength }; }
        static DeviceIDError duplicateItem() { return { Case::duplicateItem }; }
        static DeviceIDError randomFailed() { return { Case::randomFailed }; }

        bool operator==(const DeviceIDError&) const = default;
    };

    // The stored identifier, or a new one of `length` (1 to 10) characters that
    // is stored first. When another caller stores one in the meantime, theirs
    // wins.
    static std::string getOrCreate(int length);

    static std::optional<std::string> loadDeviceID();
    // `length` characters of the 62-character alphabet, each from one random
    // byte; bytes of 248 and above are drawn again so every character is
    // equally likely.
    static std::string makeRandomID(int length);
    // Adds the item; an existing item is never replaced.
    static void saveDeviceID(const std::string& identifier);
    static void deleteDeviceID();

    static constexpr const char* service = "com.brantwick.tolven.deviceid";
    static constexpr const char* account = "TOLVEN";
};

} // namespace tolven
