#pragma once

#include "platform/foundation/UserDefaults.h"

#include <memory>

namespace lumitrex {

// The library's own user-defaults domain, apart from the host application's.
inline constexpr const char* kLibrarySuiteName = "com.orvix.lumitrex";

// Absent when the suite cannot be opened; callers then behave as without it.
inline std::shared_ptr<platform::UserDefaults> librarySuite()
{
    return platform::UserDefaults::suite(kLibrarySuiteName);
}

} // namespace lumitrex
