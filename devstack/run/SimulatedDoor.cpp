#include "devstack/run/SimulatedDoor.h"

#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/location/LocationServices.h"

namespace devstack {

namespace {

// A reader this close hears the card at any proximity setting.
constexpr int signalAtTheDoor = -55;

struct DoorAir {
    std::shared_ptr<platform::SimAir> air = platform::SimAir::make();
    platform::SimDevice& phone = air->addDevice("phone");
    platform::SimDevice& door = air->addDevice("door");
};

// The access card lives until the process ends and keeps the Bluetooth
// managers this phone made, so the air they are on is never taken down.
DoorAir& doorAir()
{
    static DoorAir* air = [] {
        auto* made = new DoorAir();
        platform::BluetoothRadio::install(&made->phone);
        platform::LocationServices::install(&made->phone);
        return made;
    }();
    return *air;
}

} // namespace

SimulatedDoor::SimulatedDoor(const std::string& siteCardKey, const std::string& siteNumber)
{
    auto& air = doorAir();
    reader_ = std::make_unique<DoorReader>(air.door, DoorReader::Configuration { siteCardKey, siteNumber, DoorReader::Mode::advertising });
    reader_->start();
    air.air->setSignalStrength(air.phone, air.door, signalAtTheDoor);
}

SimulatedDoor::~SimulatedDoor()
{
    reader_->stop();
}

} // namespace devstack
