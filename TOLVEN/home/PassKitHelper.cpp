#include "TOLVEN/home/PassKitHelper.h"

#include "platform/foundation/Console.h"

namespace tolven {

using platform::AutomaticPassPresentationSuppressionResult;
using platform::PassLibrary;

std::optional<platform::PassLibraryRequestToken>& PassKitHelper::suppressionRequestToken()
{
    // Written and read on the main thread only.
    static std::optional<platform::PassLibraryRequestToken> token;
    return token;
}

void PassKitHelper::suppressAutomaticPassPresentation()
{
    if (!PassLibrary::isPassLibraryAvailable() || PassLibrary::isSuppressingAutomaticPassPresentation())
        return;
    suppressionRequestToken() = PassLibrary::requestAutomaticPassPresentationSuppression([](AutomaticPassPresentationSuppressionResult result) {
        if (result == AutomaticPassPresentationSuppressionResult::success)
            platform::console("애플페이 : Automatic Pass Presentation suppressed");
        else
            platform::console("애플페이 : Could not suppress Automatic Pass Presentation");
    });
}

void PassKitHelper::endAutomaticPassPresentationSuppression()
{
    if (!PassLibrary::isPassLibraryAvailable() || !PassLibrary::isSuppressingAutomaticPassPresentation())
        return;
    auto token = suppressionRequestToken();
    if (!token)
        return;
    PassLibrary::endAutomaticPassPresentationSuppression(*token);
    platform::console("애플페이 : Automatic Pass Presentation enabled");
}

} // namespace tolven
