#pragma once

#include <string>

namespace platform {

// A failed Bluetooth request, as the platform reports it to a delegate.
struct BluetoothError {
    int code = 0;
    std::string description;
};

} // namespace platform
