#pragma once

#include <string>
#include <system_error>

namespace lumitrex {

// Declared for the card-issuing server client, which reports no error today.
enum class ConnError {
    error1 = 0,
    error2 = 1,
};

const std::error_category& connErrorCategory();
std::error_code make_error_code(ConnError error);
std::string errorDescription(ConnError error);

} // namespace lumitrex

template<>
struct std::is_error_code_enum<lumitrex::ConnError> : std::true_type { };
