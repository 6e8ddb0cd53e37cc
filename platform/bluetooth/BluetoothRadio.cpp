#include "platform/bluetooth/BluetoothRadio.h"

#include "platform/bluetooth/sim/SimDevice.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<BluetoothRadio*> installedRadio { nullptr };

} // namespace

BluetoothRadio& BluetoothRadio::current()
{
    if (auto* radio = installedRadio.load())
        return *radio;
    return SimDevice::standalone();
}

BluetoothRadio* BluetoothRadio::install(BluetoothRadio* radio)
{
    return installedRadio.exchange(radio);
}

} // namespace platform
