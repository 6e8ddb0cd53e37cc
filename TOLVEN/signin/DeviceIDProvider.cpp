#include "TOLVEN/signin/DeviceIDProvider.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/net/Utf8.h"
#include "platform/security/Keychain.h"
#include "platform/security/SecureRandom.h"

#include <array>
#include <vector>

namespace tolven {

namespace {

using platform::GenericPasswordQuery;
using platform::Keychain;
using platform::SynchronizableMatch;

const std::vector<char>& alphabet()
{
    static platform::Once once;
    static std::vector<char> characters;
    once.run([] {
        const std::string_view letters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        characters.assign(letters.begin(), letters.end());
    });
    return characters;
}

GenericPasswordQuery anySynchronizationQuery()
{
    return { DeviceIDProvider::service, DeviceIDProvider::account, SynchronizableMatch::any };
}

} // namespace

std::string DeviceIDProvider::getOrCreate(int length)
{
    if (length < 1 || length > 10)
        throw DeviceIDError::invalidLength();
    if (auto stored = loadDeviceID())
        return *stored;

    auto identifier = makeRandomID(length);
    try {
        saveDeviceID(identifier);
        return identifier;
    } catch (const DeviceIDError& error) {
        if (error.kind != DeviceIDError::Case::duplicateItem)
            throw;
    }
    // Another caller stored an item between our read and our add: theirs wins.
    // When even that item cannot be read, the new identifier still serves this
    // call although it is not stored.
    if (auto stored = loadDeviceID())
        return *stored;
    return identifier;
}

std::optional<std::string> DeviceIDProvider::loadDeviceID()
{
    std::optional<platform::GenericPasswordItem> item;
    auto status = Keychain::standard().copyMatching(anySynchronizationQuery(), item);
    if (status == platform::errSecItemNotFound)
        return std::nullopt;
    if (status != platform::errSecSuccess)
        throw DeviceIDError::unhandled(status);
    if (!item || !platform::isValidUtf8({ reinterpret_cast<const char*>(item->data.data()), item->data.size() }))
        return std::nullopt;
    return std::string(item->data.begin(), item->data.end());
}

std::string DeviceIDProvider::makeRandomID(int length)
{
    const auto& characters = alphabet();
    std::string identifier;
    if (length <= 0)
        return identifier;
    identifier.reserve(static_cast<std::size_t>(length));
    while (identifier.size() < static_cast<std::size_t>(length)) {
        std::array<std::uint8_t, 1> byte {};
        if (platform::secRandomCopyBytes(byte) != platform::errSecSuccess)
            throw DeviceIDError::randomFailed();
        // 248 = 4 × 62: dropping the bytes above keeps every character equally likely.
        if (byte[0] >= 248)
            continue;
        identifier.push_back(characters[byte[0] % characters.size()]);
    }
    return identifier;
}

void DeviceIDProvider::saveDeviceID(const std::string& identifier)
{
    platform::GenericPasswordItem item { service, account, { identifier.begin(), identifier.end() },
        platform::KeychainAccessibility::afterFirstUnlockThisDeviceOnly, false };
    auto status = Keychain::standard().addItem(item);
    if (status == platform::errSecDuplicateItem)
        throw DeviceIDError::duplicateItem();
    if (status != platform::errSecSuccess)
        throw DeviceIDError::unhandled(status);
}

void DeviceIDProvider::deleteDeviceID()
{
    auto status = Keychain::standard().deleteItem(anySynchronizationQuery());
    if (status != platform::errSecSuccess && status != platform::errSecItemNotFound)
        throw DeviceIDError::unhandled(status);
}

} // namespace tolven
