#pragma once

namespace platform {

// The state of a Bluetooth manager. The platform may add values later, so any
// integer can arrive here; callers handle the ones they know.
enum class ManagerState : int {
    unknown = 0,
    resetting = 1,
    unsupported = 2,
    unauthorized = 3,
    poweredOff = 4,
    poweredOn = 5,
};

} // namespace platform
