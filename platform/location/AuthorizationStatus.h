#pragma once

namespace platform {

// Location authorisation. The platform may add values later, so any integer
// can arrive here.
enum class AuthorizationStatus : int {
    notDetermined = 0,
    restricted = 1,
    denied = 2,
    authorizedAlways = 3,
    authorizedWhenInUse = 4,
};

} // namespace platform
