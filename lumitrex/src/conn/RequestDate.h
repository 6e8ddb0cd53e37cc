#pragma once

#include "platform/foundation/Clock.h"

#include <string>

namespace lumitrex {

// The current time as "yyyy-MM-dd HH:mm:ss" in the device's time zone, always
// in 24-hour form.
std::string requestDateString();

// Folds a 12-hour rendering that carries "오전" or "오후" into 24-hour time;
// other text is returned unchanged, a rendering it cannot read as empty text.
std::string foldTwelveHourRendering(const std::string& formatted);

} // namespace lumitrex
