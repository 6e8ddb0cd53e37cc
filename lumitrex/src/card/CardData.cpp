#include "card/CardData.h"

#include "card/CardDataChecks.h"
#include "card/CardStrings.h"
#include "common/CharacterCount.h"
#include "lumitrex/DataError.h"
#include "lumitrex/Error.h"
#include "lumitrex/KeyError.h"
#include "platform/foundation/Bundle.h"

namespace lumitrex {

namespace {

std::optional<std::string> configuredCardKey()
{
    auto value = platform::Bundle::main().objectForInfoDictionaryKey(CardStrings::mobileCardKey);
    if (!value || !value->is<std::string>())
        return std::nullopt;
    return *value->get<std::string>();
}

} // namespace

void CardData::setData(const std::optional<std::string>& uid, const std::optional<std::string>& mid, const std::optional<std::string>& key)
{
    // A missing number has no 16 characters either.
    if (!uid || !mid)
        throwError(DataError::invalidDataSize);
    if (characterCount(*uid) != 16 || characterCount(*mid) != 16)
        throwError(DataError::invalidDataSize);
    // Every character is checked, so a trailing line break or a combining
    // mark can never slip through into the packets.
    if (!isHexDigits(*uid))
        throwError(DataError::invalidDataFormat);
    if (!isDecimalDigits(*uid))
        throwError(DataError::invalidDataNumberFormat);
    if (!isHexDigits(*mid))
        throwError(DataError::invalidDataFormat);

    auto uidHex = crypto_.uidDigitsToHex(*uid);
    // Missing and duplicate keys replace the numbers before they are reported.
    auto refuseAfterStoringNumbers = [&](KeyError error) {
        uid_ = uidHex;
        mid_ = *mid;
        throwError(error);
    };

    auto configuredText = configuredCardKey();
    bool keyConfigured = configuredText && !configuredText->empty();
    std::optional<std::string> configuredKey;
    if (keyConfigured)
        configuredKey = crypto_.decryptCardKey(*configuredText);
    bool keyGiven = key && !key->empty();

    std::optional<std::string> cardKey;
    if (configuredKey && !configuredKey->empty()) {
        if (keyGiven)
            refuseAfterStoringNumbers(KeyError::duplicate);
        cardKey = configuredKey;
    } else if (keyGiven) {
        cardKey = crypto_.decryptCardKey(*key);
    } else if (!keyConfigured) {
        refuseAfterStoringNumbers(KeyError::notFound);
    }

    // A key that does not decrypt to 16 bytes would leave the second
    // identifier without a cipher chain: the card would go on advertising its
    // last identifiers, frozen. Such a key is refused and nothing changes.
    if (!cardKey || !isAesKeyHex(*cardKey))
        throwError(KeyError::notFound);
    auto mobileKey = crypto_.deriveMobileKey(uidHex, *cardKey);
    if (!isAesKeyHex(mobileKey))
        throwError(KeyError::notFound);

    uid_ = std::move(uidHex);
    mid_ = *mid;
    mkey_ = std::move(mobileKey);
}

} // namespace lumitrex
