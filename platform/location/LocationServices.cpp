#include "platform/location/LocationServices.h"

#include "platform/bluetooth/sim/SimDevice.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<LocationServices*> installedServices { nullptr };

} // namespace

LocationServices& LocationServices::current()
{
    if (auto* services = installedServices.load())
        return *services;
    return SimDevice::standalone();
}

LocationServices* LocationServices::install(LocationServices* services)
{
    return installedServices.exchange(services);
}

} // namespace platform
