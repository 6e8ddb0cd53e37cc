#pragma once

#include "card/ReaderConnectionState.h"
#include "crypto/Bytes.h"
#include "crypto/PacketBuilder.h"
#include "lumitrex/CTutil.h"
#include "crypto/CryptoDeviceOperations.h"
#include "lumitrex/MobileCard.h"
#include "platform/bluetooth/BluetoothUUID.h"
#include "platform/bluetooth/CentralManager.h"
#include "platform/bluetooth/PeripheralManager.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Timer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/location/LocationManager.h"
#include "rssi/RSSIHelper.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace lumitrex {

// The engine behind MobileCard: the card data, the peripheral role that
// advertises the rotating identifiers, the central role that writes them to
// readers, and the beacon wake-up. Everything but the "BLEQueue" blocks runs
// on the main queue, where the platform delivers every callback.
//
// Production has one engine, owned by MobileCard::sharedInstance(). Tests make
// their own with create() for a fresh start, and read its state directly.
class MobileCardEngine final : public std::enable_shared_from_this<MobileCardEngine>,
                               public platform::PeripheralManagerDelegate,
                               public platform::CentralManagerDelegate,
                               public platform::PeripheralDelegate,
                               public platform::LocationManagerDelegate {
public:
    using Proximity = MobileCard::Proximity;

    // Start-up: managers from the installed Bluetooth radio and location
    // services, configuration from the main bundle, the library's suite.
    static std::shared_ptr<MobileCardEngine> create();
    ~MobileCardEngine() override;

    Proximity proximityLevel() const;
    void setProximityLevel(Proximity level);
    bool isAdvertising() const;
    bool setData(const std::optional<std::string>& uid, const std::optional<std::string>& mid, const std::optional<std::string>& key);
    bool startAdvertising();
    void stopAdvertising();
    bool startBackgroundRunning();
    void stopBackgroundRunning();

    // The advertising tick.
    void sendAdvertisingPacket();
    // The reader scan; throws the CardError of a central state that is not powered on.
    bool startScan();

    // (P1, E3) of now, reversed unless `forAdvertising`; nothing without complete card data.
    std::optional<PacketPair> makeAdvertisingPackets(bool forAdvertising);
    void updatePacketData(bool forAdvertising);
    void makeConnectionPackets();

    // Platform callbacks.
    void peripheralManagerDidUpdateState(platform::PeripheralManager& manager) override;
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
    void locationManagerDidChangeAuthorization(platform::LocationManager&, platform::AuthorizationStatus status) override;
    void locationManagerDidStartMonitoring(platform::LocationManager&, const platform::BeaconRegion&) override;
    void locationManagerDidDetermineState(platform::LocationManager&, platform::RegionState state, const platform::BeaconRegion&) override;
    void locationManagerDidRangeBeacons(platform::LocationManager&, const std::vector<platform::Beacon>& beacons, const platform::BeaconRegion&) override;
    void locationManagerDidEnterRegion(platform::LocationManager&, const platform::BeaconRegion&) override;
    void locationManagerDidExitRegion(platform::LocationManager&, const platform::BeaconRegion&) override;

    bool connectCheckFlag() const { return connection_->connectCheckFlag(); }
    std::shared_ptr<platform::Service> discoverService() const { return connection_->discoverService(); }

    // The engine's state, in the order of the card's data model.
    std::optional<std::string> _uid;
    std::optional<std::string> _mid;
    std::optional<std::string> _mkey;
    std::shared_ptr<platform::Timer> mTimer;
    const platform::DispatchQueue queue;
    const std::shared_ptr<platform::UserDefaults> ud;
    std::optional<int> locationStatus;
    bool doScan = false;
    CTutil* const util;
    bool connectionErrorFlag = false;
    const platform::BluetoothUUID serviceUUID;
    const platform::BluetoothUUID character1UUID;
    const platform::BluetoothUUID character2UUID;
    std::map<std::string, Bytes> bleUUIDData;
    platform::BluetoothUUID vondOneUUID;
    platform::BluetoothUUID vondTwoUUID;
    const platform::BluetoothUUID initUUID;
    const std::unique_ptr<platform::CentralManager> centralManager;
    std::shared_ptr<platform::Peripheral> discoveredPeripheral;
    const CryptoDeviceOperations crypto;
    int sendCount = 0;
    const std::unique_ptr<RSSIHelper> rssiHelper;
    std::string currentDevice;
    int currentRssi = 0;
    bool writeCk1 = false;
    bool writeCk2 = false;
    const std::unique_ptr<platform::PeripheralManager> peripheralManager;
    const platform::DispatchQueue bleQueue;
    platform::BeaconRegion beaconRegion;
    const std::unique_ptr<platform::LocationManager> locationManager;
    const std::array<std::uint8_t, 16> vector;
    bool activationCheck = false;
    bool isFirstPacketSended = false;

private:
    MobileCardEngine();
    void beginAdvertising();
    void discoverReaderServices();
    void abandonConnection(const std::shared_ptr<platform::Peripheral>& reader);
    void abandonLater(platform::Duration delay, const std::shared_ptr<platform::Peripheral>& reader);
    void rescanIfIdle();
    void rescanAfterDisconnect();
    void startScanDroppingErrors();
    bool backgroundModeIsOn() const;
    void watchBeaconRegion();

    // connectCheckFlag and discoverService live here, shared with the "BLEQueue" blocks.
    const std::shared_ptr<ReaderConnectionState> connection_;
};

} // namespace lumitrex
