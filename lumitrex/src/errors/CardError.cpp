#include "lumitrex/CardError.h"

#include "errors/LocalizedErrorCategory.h"

#include <array>

namespace lumitrex {

namespace {

// The apostrophes in "doesn’t" and "isn’t" are U+2019: the host's translation
// keys must match them byte for byte.
constexpr std::array<std::string_view, 12> englishTexts {
    // Translator group: "Bluetooth Low Energy".
    "success",
    "This is a temporary state.",
    "This state indicates that Bluetooth is trying to reconnect.",
    "A state that indicates this device doesn\u2019t support the Bluetooth low energy central or client role.",
    "A state that indicates the application isn\u2019t authorized to use the Bluetooth low energy role.",
    "A state that indicates Bluetooth is currently powered off.",
    // Translator group: "Core Location for iBeacon".
    "The user has not chosen whether the app can use location services.",
    "The app is not authorized to use location services.",
    "The user denied the use of location services for the app or they are disabled globally in Settings.",
    "The user authorized the app to start location services at any time.",
    "The user authorized the app to start location services while it is in use.",
    // Translator group: "etc".
    "unknown error occured.",
};

} // namespace

const std::error_category& cardErrorCategory()
{
    static const LocalizedErrorCategory category("lumitrex.CardError", englishTexts);
    return category;
}

std::error_code make_error_code(CardError error)
{
    return { static_cast<int>(error), cardErrorCategory() };
}

std::string errorDescription(CardError error)
{
    return make_error_code(error).message();
}

} // namespace lumitrex
