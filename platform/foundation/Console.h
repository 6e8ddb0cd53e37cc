#pragma once

#include <string_view>

namespace platform {

// Writes one line to standard output. Lines from different threads never interleave.
void console(std::string_view line);

} // namespace platform
