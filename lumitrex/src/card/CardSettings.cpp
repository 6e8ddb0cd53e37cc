#include "card/CardSettings.h"

#include "card/CardStrings.h"

namespace lumitrex {

CardSettings::CardSettings(std::shared_ptr<platform::UserDefaults> suite)
    : ud_(std::move(suite))
{
}

MobileCard::Proximity CardSettings::proximityLevel() const
{
    if (!ud_)
        return MobileCard::Proximity::near;
    return MobileCard::proximityFromRawValue(ud_->integerForKey(CardStrings::proximityLevelKey)).value_or(MobileCard::Proximity::near);
}

void CardSettings::setProximityLevel(MobileCard::Proximity level)
{
    if (ud_)
        ud_->setInteger(CardStrings::proximityLevelKey, static_cast<int>(level));
}

bool CardSettings::backgroundModeIsOn() const
{
    return ud_ && ud_->boolForKey(CardStrings::backgroundModeKey);
}

void CardSettings::setBackgroundMode(bool on)
{
    if (ud_)
        ud_->setBool(CardStrings::backgroundModeKey, on);
}

} // namespace lumitrex
