#pragma once

#include "card/BeaconWatcher.h"
#include "card/CardSettings.h"
#include "card/ReaderConnector.h"

#include <optional>

namespace lumitrex {

// Background running: the switch kept in the suite, and the beacon watch and
// reader scan it starts and stops together.
class BackgroundRunner {
public:
    BackgroundRunner(BeaconWatcher& beacon, ReaderConnector& reader, CardSettings& settings);
    BackgroundRunner(const BackgroundRunner&) = delete;
    BackgroundRunner& operator=(const BackgroundRunner&) = delete;

    // Needs Always location authorisation, else throws its CardError and
    // changes nothing but the status it keeps.
    bool startBackgroundRunning();
    void stopBackgroundRunning();

    // The authorisation status the last start found, for tests.
    std::optional<int> locationStatus() const { return locationStatus_; }

private:
    BeaconWatcher& beacon_;
    ReaderConnector& reader_;
    CardSettings& settings_;
    std::optional<int> locationStatus_;
};

} // namespace lumitrex
