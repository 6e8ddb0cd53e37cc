#pragma once

#include "devstack/run/SimulatedDoor.h"

#include "platform/foundation/Clock.h"
#include "platform/oidc/Credential.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace devstack {

struct WalkthroughSettings {
    // The seeded employee.
    std::string username = "kim.minsu@brantwick.com";
    std::string password = "Tolven!2024";
    // The site's Base64 card key, the one the main bundle configures.
    std::string siteCardKey;
    // How long the card advertises in front of the door.
    platform::Duration timeAtTheDoor = std::chrono::milliseconds(2500);
    // After this long the walkthrough gives up on the step it waits for.
    platform::Duration timeLimit = std::chrono::seconds(60);
};

// The system end to end against the running devstack, as the home road runs
// it: browser sign-in, device identifier and token manager, employee record,
// device check, and the access card at a door of the site. Prints one line
// per step and never prints a token. Runs on the main queue; keep the
// returned object alive until `finished` has run.
class Walkthrough : public std::enable_shared_from_this<Walkthrough> {
public:
    // Called once on the main queue: whether every step succeeded.
    using Finished = std::function<void(bool)>;

    static std::shared_ptr<Walkthrough> make(WalkthroughSettings settings);

    void start(Finished finished);

    explicit Walkthrough(WalkthroughSettings settings);

private:
    // A completion that runs `body` with this walkthrough, unless it has
    // ended or is gone by the time the answer comes.
    template<typename Body>
    auto guarded(Body body)
    {
        return [weak = weak_from_this(), body = std::move(body)](auto&&... args) {
            auto self = weak.lock();
            if (self && !self->ended_)
                body(*self, std::forward<decltype(args)>(args)...);
        };
    }

    void signIn();
    void prepareDevice();
    void loadEmployee();
    void checkDevice(int attempt);
    void openDoor();
    void startCard();
    void leaveDoor();

    void report(const std::string& line) const;
    void fail(const std::string& why);
    void finish(bool succeeded);

    const WalkthroughSettings settings_;
    Finished finished_;
    bool ended_ = false;
    std::string currentStep_;
    std::shared_ptr<platform::Credential> credential_;
    std::string cardKey_;
    std::unique_ptr<SimulatedDoor> door_;
};

} // namespace devstack
