#include "platform/sim/SimulatedPhone.h"

#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/passkit/sim/PassLibrarySimulation.h"

namespace platform {

namespace {

// Installs `made()` through `install` unless something is installed already.
template<typename Install, typename Made>
void installUnlessInstalled(Install install, Made made)
{
    if (auto* previous = install(nullptr))
        install(previous);
    else
        install(made());
}

} // namespace

void installSimulatedPhone()
{
    installUnlessInstalled(BluetoothRadio::install, [] { return &SimDevice::standalone(); });
    installUnlessInstalled(LocationServices::install, [] { return &SimDevice::standalone(); });
    if (auto* previous = PassLibrary::install(nullptr))
        PassLibrary::install(previous);
    else
        PassLibrarySimulation::install();
}

} // namespace platform
