#include "platform/bluetooth/sim/SimAir.h"

#include "platform/bluetooth/sim/SimCentralManager.h"
#include "platform/bluetooth/sim/SimDevice.h"

#include <algorithm>

namespace platform {

namespace {

std::pair<const SimDevice*, const SimDevice*> pairKey(const SimDevice& first, const SimDevice& second)
{
    return std::minmax(&first, &second);
}

// A fixed prefix and the device's number: stable within a test run.
BluetoothUUID identifierForDevice(std::size_t number)
{
    BluetoothUUID::Bytes bytes { 0x51, 0x4D, 0xDE, 0x71, 0xCE, 0x00, 0x40, 0x00, 0x80, 0x00 };
    for (int i = 15; i >= 10; --i, number >>= 8)
        bytes[i] = static_cast<std::uint8_t>(number & 0xFF);
    return BluetoothUUID(bytes);
}

} // namespace

std::shared_ptr<SimAir> SimAir::make(Timing timing)
{
    return std::shared_ptr<SimAir>(new SimAir(timing));
}

SimAir::SimAir(Timing timing)
    : timing_(timing)
{
}

SimAir::~SimAir() = default;

SimDevice& SimAir::addDevice(std::string name)
{
    devices_.push_back(std::make_unique<SimDevice>(*this, std::move(name), identifierForDevice(devices_.size() + 1)));
    return *devices_.back();
}

void SimAir::setSignalStrength(SimDevice& first, SimDevice& second, std::optional<int> dBm)
{
    if (&first == &second)
        return;
    if (dBm)
        signals_[pairKey(first, second)] = *dBm;
    else {
        signals_.erase(pairKey(first, second));
        dropLinks(first, second);
    }
    if (dBm) {
        // Scans that hear each advertiser once still hear one that just came in range.
        for (auto* central : first.centralManagers())
            central->hear(second);
        for (auto* central : second.centralManagers())
            central->hear(first);
    }
    first.surroundingsChanged();
    second.surroundingsChanged();
}

std::optional<int> SimAir::signalStrength(const SimDevice& first, const SimDevice& second) const
{
    auto found = signals_.find(pairKey(first, second));
    if (found == signals_.end())
        return std::nullopt;
    return found->second;
}

void SimAir::dropLinks(SimDevice& first, SimDevice& second)
{
    const BluetoothError timeout { 6, "The connection has timed out unexpectedly." };
    for (auto* central : first.centralManagers())
        central->dropLink(second, timeout);
    for (auto* central : second.centralManagers())
        central->dropLink(first, timeout);
}

} // namespace platform
