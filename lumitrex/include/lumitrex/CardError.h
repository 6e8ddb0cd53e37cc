#pragma once

#include <string>
#include <system_error>

namespace lumitrex {

// Refusals caused by the state of Bluetooth (cases 0 to 5) or of location
// authorisation (cases 6 to 10).
enum class CardError {
    success = 0,
    unknown = 1,
    resetting = 2,
    unsupported = 3,
    unauthorized = 4,
    poweredOff = 5,
    notDetermined = 6,
    restricted = 7,
    denied = 8,
    authorizedAlways = 9,
    authorizedWhenInUse = 10,
    etc = 11,
};

const std::error_category& cardErrorCategory();
std::error_code make_error_code(CardError error);
std::string errorDescription(CardError error);

} // namespace lumitrex

template<>
struct std::is_error_code_enum<lumitrex::CardError> : std::true_type { };
