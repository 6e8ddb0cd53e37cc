// The central role in background mode: scan, signal gate, connection and the
// rounds of payload writes to a door reader.
#include "card/CardStrings.h"
#include "card/MobileCardEngine.h"
#include "errors/StateErrors.h"
#include "lumitrex/Error.h"
#include "platform/foundation/Clock.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace lumitrex {

namespace {

using namespace std::chrono_literals;

constexpr auto kRediscoveryDelay = 20ms;
constexpr auto kAbandonWithoutReaderService = 50ms;
constexpr auto kAbandonWithoutCharacteristics = 1s;
constexpr auto kRescanAfterFailure = 1s;
constexpr auto kRescanAfterDisconnect = 3s;
// Connections that end within this many rounds teach the reader's threshold.
constexpr int kLearningRounds = 3;

// The weakest reading the gate accepts, in dBm. A stored history may hold
// any 64-bit value, so the threshold is held to the scale of a reading
// before it is negated: beyond either end it accepts everything or nothing,
// as it would had the arithmetic not overflowed.
std::int64_t signalFloor(std::int64_t threshold, MobileCard::Proximity proximity)
{
    constexpr std::int64_t kScale = 127;
    return -(std::clamp<std::int64_t>(threshold, 0, kScale) + static_cast<int>(proximity));
}

} // namespace

bool MobileCardEngine::startScan()
{
    checkScanState(static_cast<int>(centralManager->state()));
    doScan = true;
    // Allowing duplicates delivers every advertisement, so the signal gate
    // sees each reading and not just the first one.
    centralManager->scanForPeripherals(std::vector { serviceUUID }, { .allowDuplicates = true, .showPowerAlert = true });
    return true;
}

void MobileCardEngine::startScanDroppingErrors()
{
    try {
        startScan();
    } catch (const Error&) {
    }
}

bool MobileCardEngine::backgroundModeIsOn() const
{
    return ud && ud->boolForKey(CardStrings::backgroundModeKey);
}

void MobileCardEngine::centralManagerDidUpdateState(platform::CentralManager& manager)
{
    if (manager.state() != platform::ManagerState::poweredOn)
        return;
    if (backgroundModeIsOn()) {
        startScanDroppingErrors();
        return;
    }
    doScan = false;
    if (discoveredPeripheral)
        centralManager->cancelPeripheralConnection(discoveredPeripheral);
    centralManager->stopScan();
}

void MobileCardEngine::centralManagerDidDiscover(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>& peripheral,
    const platform::AdvertisementData&, int rssi)
{
    auto threshold = rssiHelper->thresholdFor(peripheral->identifier().uuidString());
    if (rssi < signalFloor(threshold, proximityLevel()) || rssi == platform::CentralManager::kRSSIUnavailable)
        return;
    discoveredPeripheral = peripheral;
    peripheral->setDelegate(this);
    centralManager->stopScan();
    sendCount = 0;
    connection_->setConnectCheckFlag(true);
    centralManager->connect(peripheral);
}

void MobileCardEngine::centralManagerDidConnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&)
{
    queue.sync([this] { makeConnectionPackets(); });
    queue.sync([this] { discoverReaderServices(); });
}

void MobileCardEngine::discoverReaderServices()
{
    if (discoveredPeripheral)
        discoveredPeripheral->discoverServices(std::vector { serviceUUID });
}

void MobileCardEngine::abandonConnection(const std::shared_ptr<platform::Peripheral>& reader)
{
    // Abandoned connections teach nothing: the round count is past the learning limit.
    sendCount = RSSIHelper::maxSendCount;
    centralManager->cancelPeripheralConnection(reader);
}

void MobileCardEngine::abandonLater(platform::Duration delay, const std::shared_ptr<platform::Peripheral>& reader)
{
    platform::DispatchQueue::main().asyncAfter(delay, [weakSelf = weak_from_this(), reader] {
        if (auto self = weakSelf.lock())
            self->abandonConnection(reader);
    });
}

void MobileCardEngine::peripheralDidDiscoverServices(platform::Peripheral& peripheral, const std::optional<platform::BluetoothError>&)
{
    auto services = peripheral.services();
    if (!services)
        return;
    bool found = false;
    for (const auto& service : *services) {
        if (service->uuid() != serviceUUID)
            continue;
        found = true;
        connection_->setDiscoverService(service);
        peripheral.readRSSI();
    }
    if (!found)
        abandonLater(kAbandonWithoutReaderService, peripheral.shared_from_this());
}

void MobileCardEngine::peripheralDidReadRSSI(platform::Peripheral& peripheral, int rssi, const std::optional<platform::BluetoothError>&)
{
    currentDevice = peripheral.identifier().uuidString();
    currentRssi = rssi;
    auto deadline = platform::clock().monotonicNow() + kRediscoveryDelay;
    auto reader = peripheral.shared_from_this();
    for (int i = 0; i < RSSIHelper::maxSendCount; ++i) {
        // The blocks run on other threads: they see only the shared connection state.
        bleQueue.asyncAfter(deadline - platform::clock().monotonicNow(), [connection = connection_, reader] {
            if (!connection->connectCheckFlag())
                return;
            if (auto service = connection->discoverService())
                reader->discoverCharacteristics(std::nullopt, service);
        });
    }
}

void MobileCardEngine::peripheralDidDiscoverCharacteristics(platform::Peripheral& peripheral, const std::shared_ptr<platform::Service>& service,
    const std::optional<platform::BluetoothError>&)
{
    const auto& characteristics = service->characteristics();
    if (!characteristics)
        return;
    auto reader = peripheral.shared_from_this();
    const auto& first = bleUUIDData[CardStrings::firstPayloadKey];
    const auto& second = bleUUIDData[CardStrings::secondPayloadKey];
    if (first.size() != 16 && second.size() != 16) {
        abandonConnection(reader);
        return;
    }
    if (characteristics->empty()) {
        abandonLater(kAbandonWithoutCharacteristics, reader);
        return;
    }
    if (characteristics->size() == 1)
        return;

    std::shared_ptr<platform::Characteristic> firstTarget;
    std::shared_ptr<platform::Characteristic> secondTarget;
    for (const auto& characteristic : *characteristics) {
        if (!(characteristic->properties() & platform::characteristicPropertyWrite))
            continue;
        if (characteristic->uuid() == character1UUID)
            firstTarget = characteristic;
        if (characteristic->uuid() == character2UUID)
            secondTarget = characteristic;
    }
    if (firstTarget && secondTarget) {
        peripheral.writeValue(first, firstTarget, platform::WriteType::withResponse);
        peripheral.writeValue(second, secondTarget, platform::WriteType::withResponse);
    }
    if (!firstTarget && !secondTarget)
        abandonLater(kAbandonWithoutReaderService, reader);
}

void MobileCardEngine::peripheralDidWriteValue(platform::Peripheral& peripheral, const std::shared_ptr<platform::Characteristic>& characteristic,
    const std::optional<platform::BluetoothError>&)
{
    if (characteristic->uuid() == character1UUID)
        writeCk1 = true;
    if (characteristic->uuid() == character2UUID)
        writeCk2 = true;
    if (!writeCk1 || !writeCk2)
        return;
    // Only the first flag is cleared: from the second round on, the first
    // characteristic's acknowledgement completes a round.
    writeCk1 = false;
    ++sendCount;
    if (sendCount <= RSSIHelper::maxSendCount)
        peripheral.readRSSI();
    else if (connection_->connectCheckFlag())
        centralManager->cancelPeripheralConnection(peripheral.shared_from_this());
}

void MobileCardEngine::centralManagerDidFailToConnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&,
    const std::optional<platform::BluetoothError>&)
{
    if (discoveredPeripheral)
        centralManager->cancelPeripheralConnection(discoveredPeripheral);
    connection_->setConnectCheckFlag(false);
    platform::DispatchQueue::main().asyncAfter(kRescanAfterFailure, [weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock())
            self->rescanIfIdle();
    });
}

void MobileCardEngine::rescanIfIdle()
{
    if (!centralManager->isScanning() && !connection_->connectCheckFlag())
        startScanDroppingErrors();
}

void MobileCardEngine::centralManagerDidDisconnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&,
    const std::optional<platform::BluetoothError>&)
{
    if (currentRssi != 0 && !currentDevice.empty() && sendCount <= kLearningRounds)
        rssiHelper->saveRssiHistory(currentDevice, 25 - currentRssi);
    currentRssi = 0;
    currentDevice.clear();
    connection_->setConnectCheckFlag(false);
    discoveredPeripheral.reset();
    platform::DispatchQueue::main().asyncAfter(kRescanAfterDisconnect, [weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock())
            self->rescanAfterDisconnect();
    });
}

void MobileCardEngine::rescanAfterDisconnect()
{
    if (!centralManager->isScanning() && !connection_->connectCheckFlag() && doScan)
        startScanDroppingErrors();
}

} // namespace lumitrex
