#pragma once

#include "platform/location/LocationManager.h"

#include <memory>

namespace platform {

// Makes this device's location managers. Unless a test or the devstack
// installs other services, they belong to a device alone on a simulated air.
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
