#include "TOLVEN/testing/SignInTesting.h"

#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/CheckBeforeLogin.h"
#include "TOLVEN/signin/SharedInstanceSlots.h"
#include "TOLVEN/signin/TokenManager.h"

namespace tolven::testing {

void resetSigninSharedState()
{
    AppSession::shared() = AppSession();
    {
        auto& slot = detail::apiSessionSlot();
        std::lock_guard guard(slot.mutex);
        slot.session.reset();
    }
    detail::tokenManagerSlot() = std::make_shared<TokenManager>();
    detail::checkBeforeLoginSlot() = std::make_shared<CheckBeforeLogin>();
}

} // namespace tolven::testing
