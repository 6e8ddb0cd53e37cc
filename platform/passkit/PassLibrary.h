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

class PassLibraryBackend;

// The wallet's pass library, by the class operations that stop the wallet
// from coming up on its own. Linux has no wallet: unless one is installed (the
// simulated phone's, see sim/PassLibrarySimulation.h), the library is not
// available and every request is answered notSupported. All operations are
// safe from any thread.
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

    // Installs `wallet` (not owned, living until it is replaced; nullptr
    // restores the missing wallet) and returns the one it replaced.
    static PassLibraryBackend* install(PassLibraryBackend* wallet);
};

// A wallet behind PassLibrary, with the same guarantees.
class PassLibraryBackend {
public:
    virtual ~PassLibraryBackend() = default;
    virtual bool isPassLibraryAvailable() = 0;
    virtual bool isSuppressingAutomaticPassPresentation() = 0;
    virtual PassLibraryRequestToken requestAutomaticPassPresentationSuppression(
        std::function<void(AutomaticPassPresentationSuppressionResult)> responseHandler) = 0;
    virtual void endAutomaticPassPresentationSuppression(PassLibraryRequestToken token) = 0;
};

} // namespace platform
