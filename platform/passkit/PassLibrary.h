#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// The platform's answer to a request to suppress the automatic presentation of passes.
enum class AutomaticPassPresentationSuppressionResult {
    notSupported,
    alreadyPresenting,
    denied,
    cancelled,
    success,
};

// Identifies one suppression request; ending the suppression needs it.
using PassLibraryRequestToken = std::uint64_t;

// The wallet's pass library, by the class operations that stop the wallet
// from coming up on its own. Linux has no wallet: the library is simulated
// (see sim/PassLibrarySimulation.h). All operations are safe from any thread.
class PassLibrary {
public:
    static bool isPassLibraryAvailable();
    static bool isSuppressingAutomaticPassPresentation();

    // Returns the request's token at once; `responseHandler` gets the answer
    // later, on the main queue. A granted request suppresses passes until it
    // is ended with its token.
    static PassLibraryRequestToken requestAutomaticPassPresentationSuppression(
        std::function<void(AutomaticPassPresentationSuppressionResult)> responseHandler);

    // Ends the suppression granted to `token`; any other token changes nothing.
    static void endAutomaticPassPresentationSuppression(PassLibraryRequestToken token);
};

} // namespace platform
