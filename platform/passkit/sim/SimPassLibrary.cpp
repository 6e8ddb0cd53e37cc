#include "platform/foundation/DispatchQueue.h"
#include "platform/passkit/PassLibrary.h"
#include "platform/passkit/sim/PassLibrarySimulation.h"

#include <mutex>
#include <optional>

namespace platform {

namespace {

struct State {
    bool available = true;
    AutomaticPassPresentationSuppressionResult answer = AutomaticPassPresentationSuppressionResult::success;
    PassLibraryRequestToken lastToken = 0;
    // The token of the request whose suppression is in force.
    std::optional<PassLibraryRequestToken> granted;
    int requests = 0;
};

std::mutex mutex;
State state;

class SimWallet final : public PassLibraryBackend {
public:
    bool isPassLibraryAvailable() override
    {
        std::lock_guard lock(mutex);
        return state.available;
    }

    bool isSuppressingAutomaticPassPresentation() override
    {
        std::lock_guard lock(mutex);
        return state.granted.has_value();
    }

    PassLibraryRequestToken requestAutomaticPassPresentationSuppression(
        std::function<void(AutomaticPassPresentationSuppressionResult)> responseHandler) override
    {
        std::lock_guard lock(mutex);
        auto token = ++state.lastToken;
        ++state.requests;
        auto answer = state.available ? state.answer : AutomaticPassPresentationSuppressionResult::notSupported;
        DispatchQueue::main().async([token, answer, handler = std::move(responseHandler)] {
            {
                std::lock_guard lock(mutex);
                if (answer == AutomaticPassPresentationSuppressionResult::success)
                    state.granted = token;
            }
            if (handler)
                handler(answer);
        });
        return token;
    }

    void endAutomaticPassPresentationSuppression(PassLibraryRequestToken token) override
    {
        std::lock_guard lock(mutex);
        if (state.granted == token)
            state.granted.reset();
    }
};

SimWallet simWallet;

} // namespace

void PassLibrarySimulation::install()
{
    PassLibrary::install(&simWallet);
}

void PassLibrarySimulation::setAvailable(bool available)
{
    std::lock_guard lock(mutex);
    state.available = available;
}

void PassLibrarySimulation::setAnswer(AutomaticPassPresentationSuppressionResult answer)
{
    std::lock_guard lock(mutex);
    state.answer = answer;
}

int PassLibrarySimulation::requestCount()
{
    std::lock_guard lock(mutex);
    return state.requests;
}

void PassLibrarySimulation::reset()
{
    {
        std::lock_guard lock(mutex);
        state = State();
    }
    install();
}

} // namespace platform
