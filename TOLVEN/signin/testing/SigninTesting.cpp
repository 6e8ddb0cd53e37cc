#include "TOLVEN/signin/testing/SigninTesting.h"

namespace tolven::testing {

// Each defined beside the instance it resets.
void resetAppSession();
void resetTokenManager();
void resetCheckBeforeLogin();
void resetAPISession();

void resetSigninSharedState()
{
    resetAppSession();
    resetAPISession();
    resetTokenManager();
    resetCheckBeforeLogin();
}

} // namespace tolven::testing
