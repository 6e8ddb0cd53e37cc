#pragma once

#include <string>

namespace platform {

// A new random (version 4) UUID in its standard 36-character upper-case text
// form, like the platform's UUID().uuidString. Never fails: it draws from the
// system's random source directly, not from the replaceable one of tests.
std::string makeUuidString();

} // namespace platform
