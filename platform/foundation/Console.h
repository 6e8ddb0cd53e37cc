#pragma once

#include <functional>
#include <string_view>

namespace platform {

// Writes one line to standard output. Lines from different threads never interleave.
void console(std::string_view line);

// For tests: receives every line in place of standard output; an empty
// function restores standard output.
void setConsoleSinkForTesting(std::function<void(std::string_view)> sink);

} // namespace platform
