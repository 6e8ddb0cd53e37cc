#pragma once

#include <string>
#include <system_error>

namespace tolven {

// How an error of the access-card library prints itself: its case name, as
// "poweredOff"; for an error of another kind, its category and value.
std::string errorTextualForm(const std::error_code& code);

} // namespace tolven
