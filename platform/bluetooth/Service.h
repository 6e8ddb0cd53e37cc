#pragma once

#include "platform/bluetooth/BluetoothUUID.h"
#include "platform/bluetooth/Characteristic.h"

#include <memory>
#include <optional>
#include <vector>

namespace platform {

// A service of a remote peripheral. Its characteristics are absent until they
// are discovered; the platform fills them in on the main queue, so read them there.
class Service {
public:
    Service(BluetoothUUID uuid, bool primary)
        : uuid_(uuid)
        , primary_(primary)
    {
    }

    const BluetoothUUID& uuid() const { return uuid_; }
    bool isPrimary() const { return primary_; }

    const std::optional<std::vector<std::shared_ptr<Characteristic>>>& characteristics() const { return characteristics_; }
    // For the platform's implementations, after a discovery.
    void setCharacteristics(std::vector<std::shared_ptr<Characteristic>> characteristics) { characteristics_ = std::move(characteristics); }

private:
    const BluetoothUUID uuid_;
    const bool primary_;
    std::optional<std::vector<std::shared_ptr<Characteristic>>> characteristics_;
};

} // namespace platform
