#pragma once

#include "platform/bluetooth/AdvertisementData.h"
#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/bluetooth/MutableService.h"
#include "platform/bluetooth/sim/SimGattServer.h"
#include "platform/location/Beacon.h"
#include "platform/location/LocationServices.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class SimAir;
class SimCentralManager;
class SimPeripheralManager;
class SimLocationManager;

// One device on a simulated air: a phone, a door reader or a beacon. It makes
// the managers of its platform (install it as the BluetoothRadio and the
// LocationServices of the code under test) and lets a test script its radio
// and its location permission. Main queue only.
class SimDevice final : public BluetoothRadio, public LocationServices {
public:
    SimDevice(SimAir& air, std::string name, BluetoothUUID identifier);
    ~SimDevice() override;

    // The simulated phone's own device (see installSimulatedPhone): alone on
    // an air of its own, powered on, location permission not yet asked.
    static SimDevice& standalone();

    const std::string& name() const { return name_; }
    // How other devices' centrals identify this device.
    const BluetoothUUID& identifier() const { return identifier_; }
    SimAir& air() const { return air_; }

    std::unique_ptr<CentralManager> makeCentralManager() override;
    std::unique_ptr<PeripheralManager> makePeripheralManager() override;
    std::unique_ptr<LocationManager> makeLocationManager() override;

    // Bluetooth power and permission; managers report the change later.
    ManagerState bluetoothState() const { return bluetoothState_; }
    void setBluetoothState(ManagerState state);

    // What this device puts on the air; nothing stops advertising.
    const std::optional<AdvertisementData>& advertisement() const { return advertisement_; }
    void advertise(std::optional<AdvertisementData> advertisement);
    // Called with every change of the advertisement, for observers in tests and tools.
    void setAdvertisementObserver(std::function<void(const std::optional<AdvertisementData>&)> observer);

    // Services published by this device's peripheral managers.
    const std::vector<MutableService>& publishedServices() const { return publishedServices_; }
    std::vector<MutableService>& mutablePublishedServices() { return publishedServices_; }

    // Lets other devices connect: `server` (not owned) sees their links and writes.
    void hostGattServer(std::vector<SimGattService> services, SimGattServer* server);
    void stopHostingGattServer();
    const std::vector<SimGattService>& gattServices() const { return gattServices_; }
    SimGattServer* gattServer() const { return gattServer_; }
    // The next `count` connection attempts to this device fail.
    void failNextConnections(int count) { failingConnections_ = count; }
    bool takeConnectionFailure();

    // Makes this device an iBeacon; nothing stops it.
    void setBeacon(std::optional<Beacon> beacon);
    const std::optional<Beacon>& beacon() const { return beacon_; }
    // Beacons in range of this device, with their proximity from the signal.
    std::vector<Beacon> beaconsInRange() const;

    AuthorizationStatus locationAuthorization() const { return authorization_; }
    void setLocationAuthorization(AuthorizationStatus status);
    // How the user answers the next requests for Always authorisation; nothing leaves them unanswered.
    void answerAuthorizationRequestsWith(std::optional<AuthorizationStatus> answer) { authorizationAnswer_ = answer; }
    void requestAlwaysAuthorization();
    int alwaysAuthorizationRequestCount() const { return alwaysAuthorizationRequests_; }
    bool isMonitoringAvailable() const { return monitoringAvailable_; }
    void setMonitoringAvailable(bool available) { monitoringAvailable_ = available; }

    // The managers made by this device and still alive.
    const std::vector<SimCentralManager*>& centralManagers() const { return centrals_; }
    const std::vector<SimPeripheralManager*>& peripheralManagers() const { return peripheralManagers_; }
    const std::vector<SimLocationManager*>& locationManagers() const { return locationManagers_; }

    // For the simulated managers.
    void attach(SimCentralManager* manager) { centrals_.push_back(manager); }
    void attach(SimPeripheralManager* manager) { peripheralManagers_.push_back(manager); }
    void attach(SimLocationManager* manager) { locationManagers_.push_back(manager); }
    void detach(SimCentralManager* manager);
    void detach(SimPeripheralManager* manager);
    void detach(SimLocationManager* manager);
    // The air changed around this device: signals, beacons or links.
    void surroundingsChanged();

private:
    SimAir& air_;
    const std::string name_;
    const BluetoothUUID identifier_;

    ManagerState bluetoothState_ = ManagerState::poweredOn;
    std::optional<AdvertisementData> advertisement_;
    std::function<void(const std::optional<AdvertisementData>&)> advertisementObserver_;
    std::vector<MutableService> publishedServices_;
    std::vector<SimGattService> gattServices_;
    SimGattServer* gattServer_ = nullptr;
    int failingConnections_ = 0;
    std::optional<Beacon> beacon_;

    AuthorizationStatus authorization_ = AuthorizationStatus::notDetermined;
    std::optional<AuthorizationStatus> authorizationAnswer_;
    int alwaysAuthorizationRequests_ = 0;
    bool monitoringAvailable_ = true;

    std::vector<SimCentralManager*> centrals_;
    std::vector<SimPeripheralManager*> peripheralManagers_;
    std::vector<SimLocationManager*> locationManagers_;
};

} // namespace platform
