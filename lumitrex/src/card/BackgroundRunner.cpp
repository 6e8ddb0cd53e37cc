#include "card/BackgroundRunner.h"

#include "errors/StateErrors.h"

namespace lumitrex {

BackgroundRunner::BackgroundRunner(BeaconWatcher& beacon, ReaderConnector& reader, CardSettings& settings)
    : beacon_(beacon)
    , reader_(reader)
    , settings_(settings)
{
}

bool BackgroundRunner::startBackgroundRunning()
{
    auto status = static_cast<int>(beacon_.authorizationStatus());
    locationStatus_ = status;
    checkLocationAuthorization(status);
    settings_.setBackgroundMode(true);
    beacon_.startWatching();
    if (!reader_.isScanning())
        reader_.startScanDroppingErrors();
    return true;
}

void BackgroundRunner::stopBackgroundRunning()
{
    settings_.setBackgroundMode(false);
    reader_.stopScanning();
    beacon_.stopWatching();
}

} // namespace lumitrex
