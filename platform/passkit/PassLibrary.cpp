#include "platform/passkit/PassLibrary.h"

#include "platform/foundation/DispatchQueue.h"

#include <atomic>

namespace platform {

namespace {

// Stands in when no wallet is installed: nothing to suppress, and every
// request answered, later as the platform does, that it is not supported.
class MissingWallet final : public PassLibraryBackend {
public:
    bool isPassLibraryAvailable() override { return false; }
    bool isSuppressingAutomaticPassPresentation() override { return false; }

    PassLibraryRequestToken requestAutomaticPassPresentationSuppression(
        std::function<void(AutomaticPassPresentationSuppressionResult)> responseHandler) override
    {
        auto token = ++lastToken_;
        DispatchQueue::main().async([handler = std::move(responseHandler)] {
            if (handler)
                handler(AutomaticPassPresentationSuppressionResult::notSupported);
        });
        return token;
    }

    void endAutomaticPassPresentationSuppression(PassLibraryRequestToken) override { }

private:
    std::atomic<PassLibraryRequestToken> lastToken_ { 0 };
};

MissingWallet missingWallet;
std::atomic<PassLibraryBackend*> installedWallet { nullptr };

PassLibraryBackend& wallet()
{
    if (auto* installed = installedWallet.load())
        return *installed;
    return missingWallet;
}

} // namespace

bool PassLibrary::isPassLibraryAvailable()
{
    return wallet().isPassLibraryAvailable();
}

bool PassLibrary::isSuppressingAutomaticPassPresentation()
{
    return wallet().isSuppressingAutomaticPassPresentation();
}

PassLibraryRequestToken PassLibrary::requestAutomaticPassPresentationSuppression(
    std::function<void(AutomaticPassPresentationSuppressionResult)> responseHandler)
{
    return wallet().requestAutomaticPassPresentationSuppression(std::move(responseHandler));
}

void PassLibrary::endAutomaticPassPresentationSuppression(PassLibraryRequestToken token)
{
    wallet().endAutomaticPassPresentationSuppression(token);
}

PassLibraryBackend* PassLibrary::install(PassLibraryBackend* wallet)
{
    return installedWallet.exchange(wallet);
}

} // namespace platform
