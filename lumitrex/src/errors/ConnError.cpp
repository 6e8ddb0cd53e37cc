#include "errors/ConnError.h"

#include "errors/LocalizedErrorCategory.h"

#include <array>

namespace lumitrex {

namespace {

// Translator group: "Connection Error".
constexpr std::array<std::string_view, 2> englishTexts {
    "error1",
    "error2",
};

} // namespace

const std::error_category& connErrorCategory()
{
    static const LocalizedErrorCategory category("lumitrex.ConnError", englishTexts);
    return category;
}

std::error_code make_error_code(ConnError error)
{
    return { static_cast<int>(error), connErrorCategory() };
}

std::string errorDescription(ConnError error)
{
    return make_error_code(error).message();
}

} // namespace lumitrex
