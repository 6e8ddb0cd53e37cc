#pragma once

#include "platform/location/LocationManager.h"

#include <memory>

namespace platform {

// Makes this device's location managers. Linux has no location hardware:
// unless services are installed (the simulated phone's, or a test's), every
// manager is `restricted` and monitors nothing.
class LocationServices {
public:
    virtual ~LocationServices() = default;

    virtual std::unique_ptr<LocationManager> makeLocationManager() = 0;

    static LocationServices& current();
    // Installs `services` (not owned; nullptr restores the default) and
    // returns the one it replaced.
    static LocationServices* install(LocationServices* services);
};

} // namespace platform
