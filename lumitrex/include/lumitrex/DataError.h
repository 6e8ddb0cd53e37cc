#pragma once

#include <string>
#include <system_error>

namespace lumitrex {

// Refusals about the card number and site number handed to the engine.
enum class DataError {
    invalidDataSize = 0,
    invalidDataFormat = 1,
    invalidDataNumberFormat = 2,
    notBase64Format = 3,
};

const std::error_category& dataErrorCategory();
std::error_code make_error_code(DataError error);
std::string errorDescription(DataError error);

} // namespace lumitrex

template<>
struct std::is_error_code_enum<lumitrex::DataError> : std::true_type { };
