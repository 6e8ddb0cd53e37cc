#include "conn/AppIdentifier.h"

#include "common/CharacterCount.h"
#include "crypto/AppIdCipher.h"

#include "platform/foundation/Bundle.h"

namespace lumitrex {

namespace {

constexpr std::size_t kKeyLength = 16;

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

    // Characters as a reader sees them: a key of Hangul syllables or of
    // accented letters pads like one of digits.
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
