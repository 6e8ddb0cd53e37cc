#pragma once

#include "lumitrex/MobileCard.h"
#include "platform/foundation/UserDefaults.h"

#include <memory>

namespace lumitrex {

// The card's settings in the library's suite: the proximity level and the
// background-mode switch. Without a suite the level reads near, writes are
// dropped and background mode is never on.
class CardSettings {
public:
    explicit CardSettings(std::shared_ptr<platform::UserDefaults> suite);

    MobileCard::Proximity proximityLevel() const;
    void setProximityLevel(MobileCard::Proximity level);

    bool backgroundModeIsOn() const;
    void setBackgroundMode(bool on);

private:
    const std::shared_ptr<platform::UserDefaults> ud_;
};

} // namespace lumitrex
