#pragma once

#include "platform/passkit/PassLibrary.h"

namespace platform {

// The switches of the simulated pass library, for tests and tools. At start
// (and after reset) the library is available, grants every request and
// suppresses nothing.
struct PassLibrarySimulation {
    static void setAvailable(bool available);
    // How the platform answers the next requests.
    static void setAnswer(AutomaticPassPresentationSuppressionResult answer);
    static int requestCount();
    static void reset();
};

} // namespace platform
