#include "card/MobileCardEngine.h"

#include "card/CardDataChecks.h"
#include "card/CardStrings.h"
#include "common/CharacterCount.h"
#include "common/LibrarySuite.h"
#include "lumitrex/DataError.h"
#include "lumitrex/Error.h"
#include "lumitrex/KeyError.h"
#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/foundation/Bundle.h"
#include "platform/location/LocationServices.h"

namespace lumitrex {

namespace {

platform::BluetoothUUID uuid(const char* text)
{
    return platform::BluetoothUUID::fromString(text).value();
}

platform::BeaconRegion readerBeaconRegion()
{
    return platform::BeaconRegion { uuid("B9407F30-F5F8-466E-AFF9-25556B57FE6D"), 1, 2, CardStrings::beaconIdentifier };
}

// Only a real flag switches background mode on; any other value leaves it off.
bool backgroundModeConfigured()
{
    auto value = platform::Bundle::main().objectForInfoDictionaryKey(CardStrings::backgroundModeActivateKey);
    return value && value->is<bool>() && *value->get<bool>();
}

std::optional<std::string> configuredCardKey()
{
    auto value = platform::Bundle::main().objectForInfoDictionaryKey(CardStrings::mobileCardKey);
    if (!value || !value->is<std::string>())
        return std::nullopt;
    return *value->get<std::string>();
}

} // namespace

std::shared_ptr<MobileCardEngine> MobileCardEngine::create()
{
    return std::shared_ptr<MobileCardEngine>(new MobileCardEngine());
}

MobileCardEngine::MobileCardEngine()
    : queue(CardStrings::peripheralQueueLabel)
    , ud(librarySuite())
    , util(&CTutil::shared())
    , serviceUUID(uuid("4f535452-4556-4f4d-6f62-696c65303030"))
    , character1UUID(uuid("4f535452-4556-4f4d-6f62-696c65303031"))
    , character2UUID(uuid("4f535452-4556-4f4d-6f62-696c65303032"))
    , initUUID(uuid("00000000-0000-0000-0000-000000000000"))
    , centralManager(platform::BluetoothRadio::current().makeCentralManager())
    , rssiHelper(std::make_unique<RSSIHelper>())
    , peripheralManager(platform::BluetoothRadio::current().makePeripheralManager())
    , bleQueue(CardStrings::bleQueueLabel, platform::DispatchQueue::Attributes::concurrent)
    , beaconRegion(readerBeaconRegion())
    , locationManager(platform::LocationServices::current().makeLocationManager())
    , vector(kLibraryIv)
    , connection_(std::make_shared<ReaderConnectionState>())
{
    if (backgroundModeConfigured()) {
        centralManager->setDelegate(this);
        locationManager->setDelegate(this);
        locationManager->requestAlwaysAuthorization();
        locationManager->setAllowsBackgroundLocationUpdates(true);
        locationManager->setPausesLocationUpdatesAutomatically(false);
    }
    peripheralManager->setDelegate(this);
}

MobileCardEngine::~MobileCardEngine()
{
    if (mTimer)
        mTimer->invalidate();
    // Readers keep their delegate pointer while the platform holds them.
    if (discoveredPeripheral)
        discoveredPeripheral->setDelegate(nullptr);
}

MobileCard::Proximity MobileCardEngine::proximityLevel() const
{
    if (!ud)
        return Proximity::near;
    return MobileCard::proximityFromRawValue(ud->integerForKey(CardStrings::proximityLevelKey)).value_or(Proximity::near);
}

void MobileCardEngine::setProximityLevel(Proximity level)
{
    if (ud)
        ud->setInteger(CardStrings::proximityLevelKey, static_cast<int>(level));
}

bool MobileCardEngine::setData(const std::optional<std::string>& uid, const std::optional<std::string>& mid, const std::optional<std::string>& key)
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

    auto uidHex = crypto.uidDigitsToHex(*uid);
    // Missing and duplicate keys replace the numbers before they are reported.
    auto refuseAfterStoringNumbers = [&](KeyError error) {
        _uid = uidHex;
        _mid = *mid;
        throwError(error);
    };

    auto configuredText = configuredCardKey();
    bool keyConfigured = configuredText && !configuredText->empty();
    std::optional<std::string> configuredKey;
    if (keyConfigured)
        configuredKey = crypto.decryptCardKey(*configuredText);
    bool keyGiven = key && !key->empty();

    std::optional<std::string> cardKey;
    if (configuredKey && !configuredKey->empty()) {
        if (keyGiven)
            refuseAfterStoringNumbers(KeyError::duplicate);
        cardKey = configuredKey;
    } else if (keyGiven) {
        cardKey = crypto.decryptCardKey(*key);
    } else if (!keyConfigured) {
        refuseAfterStoringNumbers(KeyError::notFound);
    }

    // A key that does not decrypt to 16 bytes would leave the second
    // identifier without a cipher chain: the card would go on advertising its
    // last identifiers, frozen. Such a key is refused and nothing changes.
    if (!cardKey || !isAesKeyHex(*cardKey))
        throwError(KeyError::notFound);
    auto mobileKey = crypto.deriveMobileKey(uidHex, *cardKey);
    if (!isAesKeyHex(mobileKey))
        throwError(KeyError::notFound);

    _uid = std::move(uidHex);
    _mid = *mid;
    _mkey = std::move(mobileKey);
    return true;
}

} // namespace lumitrex
