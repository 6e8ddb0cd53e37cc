#include "lumitrex/DataError.h"

#include "errors/LocalizedErrorCategory.h"

#include <array>

namespace lumitrex {

namespace {

// Translator group: "Data Error".
constexpr std::array<std::string_view, 4> englishTexts {
    "Invalid data size (Data must be expected 16 digit)",
    "Invalid data format (Data must be within Hex range)",
    "Invalid data format (Data must be numbers)",
    "Mobile Card Key is not base64 format",
};

} // namespace

const std::error_category& dataErrorCategory()
{
    static const LocalizedErrorCategory category("lumitrex.DataError", englishTexts);
    return category;
}

std::error_code make_error_code(DataError error)
{
    return { static_cast<int>(error), dataErrorCategory() };
}

std::string errorDescription(DataError error)
{
    return make_error_code(error).message();
}

} // namespace lumitrex
