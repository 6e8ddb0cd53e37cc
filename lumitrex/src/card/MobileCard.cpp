#include "lumitrex/MobileCard.h"

#include "card/MobileCardEngine.h"

namespace lumitrex {

std::optional<MobileCard::Proximity> MobileCard::proximityFromRawValue(std::int64_t rawValue)
{
    if (rawValue < 0 || rawValue > 2)
        return std::nullopt;
    return static_cast<Proximity>(rawValue);
}

MobileCard& MobileCard::sharedInstance()
{
    // Never destroyed: the card lives until the process ends.
    static MobileCard* instance = new MobileCard();
    return *instance;
}

MobileCard::MobileCard()
    : engine_(MobileCardEngine::create())
{
}

MobileCard::~MobileCard() = default;

MobileCard::Proximity MobileCard::proximityLevel() const { return engine_->proximityLevel(); }
void MobileCard::setProximityLevel(Proximity level) { engine_->setProximityLevel(level); }
bool MobileCard::isAdvertising() const { return engine_->isAdvertising(); }

bool MobileCard::setData(const std::optional<std::string>& uid, const std::optional<std::string>& mid, const std::optional<std::string>& key)
{
    return engine_->setData(uid, mid, key);
}

bool MobileCard::startAdvertising() { return engine_->startAdvertising(); }
void MobileCard::stopAdvertising() { engine_->stopAdvertising(); }
bool MobileCard::startBackgroundRunning() { return engine_->startBackgroundRunning(); }
void MobileCard::stopBackgroundRunning() { engine_->stopBackgroundRunning(); }

} // namespace lumitrex
