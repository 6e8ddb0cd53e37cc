#include "TOLVEN/CardErrorText.h"

#include "lumitrex/CardError.h"

#include <array>

namespace tolven {

std::string errorTextualForm(const std::error_code& code)
{
    static constexpr std::array<const char*, 12> cardErrorCases { "success", "unknown", "resetting", "unsupported",
        "unauthorized", "poweredOff", "notDetermined", "restricted", "denied", "authorizedAlways", "authorizedWhenInUse", "etc" };
    if (code.category() == lumitrex::cardErrorCategory() && code.value() >= 0 && code.value() < static_cast<int>(cardErrorCases.size()))
        return cardErrorCases[static_cast<std::size_t>(code.value())];
    return std::string(code.category().name()) + "(" + std::to_string(code.value()) + ")";
}

} // namespace tolven
