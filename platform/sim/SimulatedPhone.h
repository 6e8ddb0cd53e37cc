#pragma once

namespace platform {

// Makes this process a simulated phone wherever nothing else is installed:
// Bluetooth and location on a device alone on a simulated air (powered on,
// location permission not yet asked), and a simulated wallet. The application
// calls it at start, and TestEnvironment for every test. Main queue only.
void installSimulatedPhone();

} // namespace platform
