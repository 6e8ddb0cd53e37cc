#pragma once

#include "platform/passkit/PassLibrary.h"

#include <optional>

namespace tolven {

// Keeps the wallet from coming up by itself while the staff ID card shows.
class PassKitHelper {
public:
    PassKitHelper() = delete;

    // Asks for the suppression unless the pass library is missing or a
    // suppression is already in force; the answer is logged when it comes.
    static void suppressAutomaticPassPresentation();
    // Ends the suppression of the last request, when one is in force.
    static void endAutomaticPassPresentationSuppression();

    // The token of the last request made, shared with the home screen.
    static std::optional<platform::PassLibraryRequestToken>& suppressionRequestToken();
};

} // namespace tolven
