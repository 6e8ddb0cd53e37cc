#include "card/MobileCardEngine.h"

#include "card/CardStrings.h"
#include "common/LibrarySuite.h"
#include "lumitrex/CTutil.h"
#include "platform/foundation/Bundle.h"

namespace lumitrex {

namespace {

// Only a real flag switches background mode on; any other value leaves it off.
bool backgroundModeConfigured()
{
    auto value = platform::Bundle::main().objectForInfoDictionaryKey(CardStrings::backgroundModeActivateKey);
    return value && value->is<bool>() && *value->get<bool>();
}

} // namespace

std::shared_ptr<MobileCardEngine> MobileCardEngine::create()
{
    return std::shared_ptr<MobileCardEngine>(new MobileCardEngine());
}

MobileCardEngine::MobileCardEngine()
    : queue_(CardStrings::peripheralQueueLabel)
    , settings_(librarySuite())
    , reader_(std::make_shared<ReaderConnector>(cardData_, settings_, queue_))
    , advertiser_(std::make_shared<CardAdvertiser>(cardData_, queue_))
    , beacon_(*reader_, settings_)
    , background_(beacon_, *reader_, settings_)
{
    // The card has always made the shared holder at start-up.
    CTutil::shared();
    if (backgroundModeConfigured()) {
        reader_->listen();
        beacon_.listen();
    }
    advertiser_->listen();
}

MobileCardEngine::~MobileCardEngine() = default;

bool MobileCardEngine::setData(const std::optional<std::string>& uid, const std::optional<std::string>& mid, const std::optional<std::string>& key)
{
    cardData_.setData(uid, mid, key);
    return true;
}

} // namespace lumitrex
