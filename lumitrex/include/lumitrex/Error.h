#pragma once

#include <string>
#include <system_error>

namespace lumitrex {

// What the library's throwing operations throw. The code carries the error
// enumeration (its category is "lumitrex.<Type>", its value the case index),
// so callers compare codes: `catch (const Error& e) { e.code() == CardError::poweredOff; }`.
class Error : public std::system_error {
public:
    explicit Error(std::error_code code)
        : std::system_error(code)
    {
    }
};

// Throws `error` (any of the library's error enumerations) as an `Error`.
template<typename ErrorEnum>
[[noreturn]] void throwError(ErrorEnum error)
{
    throw Error(make_error_code(error));
}

// The description of a library error code: the host application's translation
// of the case's English text, read again on every call, or the English text
// itself when the host has none.
inline std::string errorDescription(const std::error_code& code)
{
    return code.message();
}

} // namespace lumitrex
