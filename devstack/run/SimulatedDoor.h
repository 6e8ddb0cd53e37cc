#pragma once

#include "devstack/radio/AccessDecision.h"
#include "devstack/radio/DoorReader.h"

#include <memory>
#include <string>
#include <vector>

namespace devstack {

// A door of the site on the simulated air, with this process's phone standing
// in front of it: the phone is installed as the Bluetooth radio and the
// location services, so the access card advertises on this air. Main queue only.
class SimulatedDoor {
public:
    // The reader knows the site's Base64 card key and site number and listens
    // for advertising cards.
    SimulatedDoor(const std::string& siteCardKey, const std::string& siteNumber);
    ~SimulatedDoor();
    SimulatedDoor(const SimulatedDoor&) = delete;
    SimulatedDoor& operator=(const SimulatedDoor&) = delete;

    const std::vector<AccessDecision>& decisions() const { return reader_->decisions(); }

private:
    std::unique_ptr<DoorReader> reader_;
};

} // namespace devstack
