#pragma once

#include "platform/bluetooth/Characteristic.h"
#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/bluetooth/sim/SimGattServer.h"

#include <functional>
#include <utility>
#include <vector>

namespace lumitrex::testing {

inline const platform::BluetoothUUID kReaderService = *platform::BluetoothUUID::fromString("4f535452-4556-4f4d-6f62-696c65303030");
inline const platform::BluetoothUUID kFirstCharacteristic = *platform::BluetoothUUID::fromString("4f535452-4556-4f4d-6f62-696c65303031");
inline const platform::BluetoothUUID kSecondCharacteristic = *platform::BluetoothUUID::fromString("4f535452-4556-4f4d-6f62-696c65303032");

// A door reader whose GATT layout and behaviour a test chooses. It records
// every write and can hang up after a number of writes to the first characteristic.
class ScriptedReader final : public platform::SimGattServer {
public:
    explicit ScriptedReader(platform::SimDevice& device)
        : device_(device)
    {
    }

    static std::vector<platform::SimGattService> readerLayout()
    {
        return { { kReaderService, true,
            { { kFirstCharacteristic, platform::characteristicPropertyWrite }, { kSecondCharacteristic, platform::characteristicPropertyWrite } } } };
    }

    void host(std::vector<platform::SimGattService> services = readerLayout())
    {
        device_.hostGattServer(std::move(services), this);
        device_.advertise(platform::AdvertisementData { "Reader", { kReaderService } });
    }

    void hangUpAfterFirstWrites(int count) { hangUpAfter_ = count; }

    void linkClosed(platform::SimDevice&) override
    {
        if (onLinkClosed)
            onLinkClosed();
    }
    std::function<void()> onLinkClosed;

    std::optional<platform::BluetoothError> didReceiveWrite(platform::SimDevice& central, const platform::BluetoothUUID& characteristic,
        const std::vector<std::uint8_t>& value) override
    {
        writes.emplace_back(characteristic, value);
        if (characteristic == kFirstCharacteristic && ++firstWrites_ == hangUpAfter_)
            device_.air().dropLinks(device_, central);
        return std::nullopt;
    }

    std::vector<std::pair<platform::BluetoothUUID, std::vector<std::uint8_t>>> writes;

private:
    platform::SimDevice& device_;
    int hangUpAfter_ = 0;
    int firstWrites_ = 0;
};

} // namespace lumitrex::testing
