#pragma once

#include <string>
#include <system_error>

namespace lumitrex {

// Refusals about the card key handed to the engine.
enum class KeyError {
    notFound = 0,
    duplicate = 1,
};

const std::error_category& keyErrorCategory();
std::error_code make_error_code(KeyError error);
std::string errorDescription(KeyError error);

} // namespace lumitrex

template<>
struct std::is_error_code_enum<lumitrex::KeyError> : std::true_type { };
