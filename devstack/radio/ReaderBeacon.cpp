#include "devstack/radio/ReaderBeacon.h"

#include "platform/bluetooth/sim/SimDevice.h"

namespace devstack {

const platform::BluetoothUUID ReaderBeacon::kProximityUUID = *platform::BluetoothUUID::fromString("B9407F30-F5F8-466E-AFF9-25556B57FE6D");

ReaderBeacon::ReaderBeacon(platform::SimDevice& device)
    : device_(device)
{
}

ReaderBeacon::~ReaderBeacon()
{
    stop();
}

void ReaderBeacon::start()
{
    device_.setBeacon(platform::Beacon { kProximityUUID, kMajor, kMinor });
}

void ReaderBeacon::stop()
{
    if (device_.beacon())
        device_.setBeacon(std::nullopt);
}

} // namespace devstack
