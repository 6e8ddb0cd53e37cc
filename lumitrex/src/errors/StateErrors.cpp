#include "errors/StateErrors.h"

#include "lumitrex/CardError.h"
#include "lumitrex/Error.h"

#include <optional>

namespace lumitrex {

namespace {

// Unknown, resetting, unsupported, unauthorized and powered off map onto
// CardError cases 1 to 5 in the same order.
std::optional<CardError> errorForManagerState(int state)
{
    if (state >= 0 && state <= 4)
        return static_cast<CardError>(state + 1);
    return std::nullopt;
}

} // namespace

bool checkAdvertisingState(int state)
{
    if (state == ManagerStateValue::poweredOn)
        return true;
    if (auto error = errorForManagerState(state))
        throwError(*error);
    return false;
}

void checkScanState(int state)
{
    if (state == ManagerStateValue::poweredOn)
        return;
    throwError(errorForManagerState(state).value_or(CardError::etc));
}

void checkLocationAuthorization(int status)
{
    switch (status) {
    case 0:
        throwError(CardError::notDetermined);
    case 1:
        throwError(CardError::restricted);
    case 2:
        throwError(CardError::denied);
    case AuthorizationStatusValue::authorizedAlways:
        return;
    case 4:
        throwError(CardError::authorizedWhenInUse);
    default:
        throwError(CardError::unknown);
    }
}

} // namespace lumitrex
