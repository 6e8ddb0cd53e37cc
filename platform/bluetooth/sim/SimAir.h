#pragma once

#include "platform/foundation/Clock.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class SimDevice;

// A simulated radio that joins simulated devices: advertisements reach the
// scanning centrals of devices in range, centrals connect to devices that host
// a GATT server, and phones see the beacons in range. Each pair of devices has
// a signal strength; without one they are out of range of each other.
//
// Everything runs on the main queue and the platform clock: devices answer
// later, never inside the call. Script the air from the main queue.
class SimAir : public std::enable_shared_from_this<SimAir> {
public:
    struct Timing {
        // How often a scan that allows duplicates hears each advertiser.
        Duration advertisingInterval = std::chrono::milliseconds(100);
        Duration connectionDelay = std::chrono::milliseconds(30);
        // Delay of every answer to a request on a connected peripheral.
        Duration requestDelay = std::chrono::milliseconds(5);
        Duration rangingInterval = std::chrono::seconds(1);
    };

    static std::shared_ptr<SimAir> make(Timing timing);
    static std::shared_ptr<SimAir> make() { return make(Timing {}); }
    ~SimAir();

    // A new device, powered on, out of range of every other device. It lives as long as the air.
    SimDevice& addDevice(std::string name);

    // In dBm, the same both ways; nothing puts the two out of range, which
    // drops their links and takes their beacons out of sight.
    void setSignalStrength(SimDevice& first, SimDevice& second, std::optional<int> dBm);
    std::optional<int> signalStrength(const SimDevice& first, const SimDevice& second) const;

    // Drops every link between the two devices, as when the peer goes silent.
    void dropLinks(SimDevice& first, SimDevice& second);

    const Timing& timing() const { return timing_; }

    // For the simulated devices.
    const std::vector<std::unique_ptr<SimDevice>>& devices() const { return devices_; }

private:
    explicit SimAir(Timing timing);

    Timing timing_;
    std::vector<std::unique_ptr<SimDevice>> devices_;
    std::map<std::pair<const SimDevice*, const SimDevice*>, int> signals_;
};

} // namespace platform
