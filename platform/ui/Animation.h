#pragma once

#include "platform/foundation/Clock.h"

#include <chrono>
#include <functional>

namespace platform::ui {

// How long a modal presentation or dismissal takes when animated.
constexpr Duration presentationAnimationDuration = std::chrono::milliseconds(300);

// Applies `animations` at once (the model holds the final values, as on the
// phone) and calls `completion` on the main queue once `duration` has passed on
// the platform clock; with no duration, on the next pass of the main queue.
void animate(Duration duration, std::function<void()> animations, std::function<void(bool finished)> completion = {});

}
