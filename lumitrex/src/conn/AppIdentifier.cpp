#include "conn/AppIdentifier.h"

#include "crypto/AppIdCipher.h"

#include "platform/foundation/Bundle.h"

#include <unicode/utf8.h>

namespace lumitrex {

namespace {

constexpr std::size_t kKeyLength = 16;

// Characters, not bytes: a key of Hangul syllables pads like one of digits.
std::size_t characterCount(const std::string& text)
{
    std::size_t count = 0;
    int32_t offset = 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    auto length = static_cast<int32_t>(text.size());
    while (offset < length) {
        UChar32 character;
        U8_NEXT(bytes, offset, length, character);
        (void)character;
        ++count;
    }
    return count;
}

bool isPresent(const std::optional<std::string>& text)
{
    return text && !text->empty();
}

} // namespace

std::optional<std::string> appIdentifierKey(const std::optional<std::string>& deviceKey, const std::optional<std::string>& deviceNo)
{
    std::string key;
    if (!isPresent(deviceKey))
        key = deviceNo.value_or(""); // both absent: the empty key, padded like any other
    else if (isPresent(deviceNo))
        return std::nullopt;
    else
        key = *deviceKey;

    auto length = characterCount(key);
    // Padding cannot shorten a key, and a cut key would name another device.
    if (length > kKeyLength)
        return std::nullopt;
    key.append(kKeyLength - length, '0');
    return key;
}

std::string makeAppIdentifier(const std::optional<std::string>& deviceKey, const std::optional<std::string>& deviceNo)
{
    auto key = appIdentifierKey(deviceKey, deviceNo);
    if (!key)
        return {};
    auto& bundle = platform::Bundle::main();
    std::string token;
    if (auto value = bundle.objectForInfoDictionaryKey("MobileCard Token"); value && value->is<std::string>())
        token = *value->get<std::string>();
    return encryptAppId(token + "|" + bundle.bundleIdentifier(), *key);
}

} // namespace lumitrex
