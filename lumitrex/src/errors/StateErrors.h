#pragma once

namespace lumitrex {

// Raw state values of the platform's Bluetooth managers and location manager.
namespace ManagerStateValue {
inline constexpr int poweredOn = 5;
}
namespace AuthorizationStatusValue {
inline constexpr int authorizedAlways = 3;
}

// The peripheral manager's state as startAdvertising sees it: true when
// powered on, false for a state value this library does not know (no error);
// throws the CardError of states 0 to 4 (unknown to powered off).
bool checkAdvertisingState(int state);

// The central manager's state as the reader scan sees it: returns when powered
// on; throws the CardError of states 0 to 4, and CardError::etc for a state
// value this library does not know.
void checkScanState(int state);

// The location authorisation status for background running: returns for
// "authorized always"; throws notDetermined, restricted, denied or
// authorizedWhenInUse for 0, 1, 2 and 4, and CardError::unknown for any other value.
void checkLocationAuthorization(int status);

} // namespace lumitrex
