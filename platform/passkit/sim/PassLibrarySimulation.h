#pragma once

#include "platform/passkit/PassLibrary.h"

namespace platform {

// The switches of the simulated wallet, for tests and tools. After install()
// or reset() it is the platform's wallet: available, granting every request
// and suppressing nothing.
struct PassLibrarySimulation {
    static void install();
    static void setAvailable(bool available);
    // How the platform answers the next requests.
    static void setAnswer(AutomaticPassPresentationSuppressionResult answer);
    static int requestCount();
    // Puts the simulated wallet back as it starts and installs it.
    static void reset();
};

} // namespace platform
