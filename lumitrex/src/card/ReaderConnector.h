#pragma once

#include "card/CardData.h"
#include "card/CardSettings.h"
#include "card/ReaderConnectionState.h"
#include "crypto/Bytes.h"
#include "platform/bluetooth/BluetoothUUID.h"
#include "platform/bluetooth/CentralManager.h"
#include "platform/foundation/DispatchQueue.h"
#include "rssi/RSSIHelper.h"

#include <map>
#include <memory>
#include <string>

namespace lumitrex {

// The central role in background mode: scans for door readers, lets through
// those whose signal passes the reader's learned threshold, and writes the
// connection payloads to them in rounds. Runs on the main queue, where the
// platform delivers the central manager's and the readers' callbacks; only
// the characteristic re-discoveries run on the concurrent "BLEQueue".
class ReaderConnector final : public std::enable_shared_from_this<ReaderConnector>,
                              public platform::CentralManagerDelegate,
                              public platform::PeripheralDelegate {
public:
    // `queue` is the card's serial queue, on which the payloads are built.
    ReaderConnector(const CardData& card, const CardSettings& settings, const platform::DispatchQueue& queue);
    ~ReaderConnector() override;
    ReaderConnector(const ReaderConnector&) = delete;
    ReaderConnector& operator=(const ReaderConnector&) = delete;

    // Becomes the central manager's delegate.
    void listen();

    // Throws the CardError of a central state that is not powered on.
    bool startScan();
    // The scans of background work, whose errors nobody would see.
    void startScanDroppingErrors();
    bool isScanning() const;
    // Scanning is no longer wanted: cancels the reader connection and stops the scan.
    void stopScanning();

    void centralManagerDidUpdateState(platform::CentralManager& manager) override;
    void centralManagerDidDiscover(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>& peripheral,
        const platform::AdvertisementData&, int rssi) override;
    void centralManagerDidConnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&) override;
    void centralManagerDidFailToConnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&,
        const std::optional<platform::BluetoothError>&) override;
    void centralManagerDidDisconnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&,
        const std::optional<platform::BluetoothError>&) override;
    void peripheralDidDiscoverServices(platform::Peripheral& peripheral, const std::optional<platform::BluetoothError>&) override;
    void peripheralDidDiscoverCharacteristics(platform::Peripheral& peripheral, const std::shared_ptr<platform::Service>& service,
        const std::optional<platform::BluetoothError>&) override;
    void peripheralDidWriteValue(platform::Peripheral& peripheral, const std::shared_ptr<platform::Characteristic>& characteristic,
        const std::optional<platform::BluetoothError>&) override;
    void peripheralDidReadRSSI(platform::Peripheral& peripheral, int rssi, const std::optional<platform::BluetoothError>&) override;

    // For tests: the state of the current or last connection.
    const std::shared_ptr<platform::Peripheral>& discoveredPeripheral() const { return discoveredPeripheral_; }
    std::shared_ptr<platform::Service> discoverService() const { return connection_->discoverService(); }
    bool connectCheckFlag() const { return connection_->connectCheckFlag(); }
    bool scanIsWanted() const { return doScan_; }
    int sendCount() const { return sendCount_; }
    const std::string& currentDevice() const { return currentDevice_; }
    int currentRssi() const { return currentRssi_; }
    const std::map<std::string, Bytes>& payloads() const { return bleUUIDData_; }
    const RSSIHelper& rssiHelper() const { return *rssiHelper_; }
    platform::CentralManager& centralManager() const { return *centralManager_; }

private:
    void makeConnectionPackets();
    void discoverReaderServices();
    void abandonConnection(const std::shared_ptr<platform::Peripheral>& reader);
    void abandonLater(platform::Duration delay, const std::shared_ptr<platform::Peripheral>& reader);
    void rescanIfIdle();
    void rescanAfterDisconnect();

    const CardData& card_;
    const CardSettings& settings_;
    const platform::DispatchQueue& queue_;
    const platform::BluetoothUUID serviceUUID_;
    const platform::BluetoothUUID character1UUID_;
    const platform::BluetoothUUID character2UUID_;
    const std::unique_ptr<platform::CentralManager> centralManager_;
    const std::unique_ptr<RSSIHelper> rssiHelper_;
    const platform::DispatchQueue bleQueue_;
    std::map<std::string, Bytes> bleUUIDData_;
    std::shared_ptr<platform::Peripheral> discoveredPeripheral_;
    bool doScan_ = false;
    int sendCount_ = 0;
    std::string currentDevice_;
    int currentRssi_ = 0;
    bool writeCk1_ = false;
    bool writeCk2_ = false;
    // connectCheckFlag and discoverService live here, shared with the "BLEQueue" blocks.
    const std::shared_ptr<ReaderConnectionState> connection_;
};

} // namespace lumitrex
