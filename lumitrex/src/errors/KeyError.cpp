#include "lumitrex/KeyError.h"

#include "errors/LocalizedErrorCategory.h"

#include <array>

namespace lumitrex {

namespace {

// Translator group: "Key Error".
constexpr std::array<std::string_view, 2> englishTexts {
    "Cannot find mobile card key.",
    "Key is duplicated. Use only one key.(info.plist or function)",
};

} // namespace

const std::error_category& keyErrorCategory()
{
    static const LocalizedErrorCategory category("lumitrex.KeyError", englishTexts);
    return category;
}

std::error_code make_error_code(KeyError error)
{
    return { static_cast<int>(error), keyErrorCategory() };
}

std::string errorDescription(KeyError error)
{
    return make_error_code(error).message();
}

} // namespace lumitrex
