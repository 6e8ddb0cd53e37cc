#include "card/ReaderConnector.h"

#include "card/CardStrings.h"
#include "crypto/PacketBuilder.h"
#include "errors/StateErrors.h"
#include "lumitrex/Error.h"
#include "platform/bluetooth/BluetoothRadio.h"
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

platform::BluetoothUUID uuid(const char* text)
{
    return platform::BluetoothUUID::fromString(text).value();
}

} // namespace

ReaderConnector::ReaderConnector(const CardData& card, const CardSettings& settings, const platform::DispatchQueue& queue)
    : card_(card)
    , settings_(settings)
    , queue_(queue)
    , serviceUUID_(uuid("4f535452-4556-4f4d-6f62-696c65303030"))
    , character1UUID_(uuid("4f535452-4556-4f4d-6f62-696c65303031"))
    , character2UUID_(uuid("4f535452-4556-4f4d-6f62-696c65303032"))
    , centralManager_(platform::BluetoothRadio::current().makeCentralManager())
    , rssiHelper_(std::make_unique<RSSIHelper>())
    , bleQueue_(CardStrings::bleQueueLabel, platform::DispatchQueue::Attributes::concurrent)
    , connection_(std::make_shared<ReaderConnectionState>())
{
}

ReaderConnector::~ReaderConnector()
{
    // Readers keep their delegate pointer while the platform holds them.
    if (discoveredPeripheral_)
        discoveredPeripheral_->setDelegate(nullptr);
}

void ReaderConnector::listen()
{
    centralManager_->setDelegate(this);
}

bool ReaderConnector::startScan()
{
    checkScanState(static_cast<int>(centralManager_->state()));
    doScan_ = true;
    // Allowing duplicates delivers every advertisement, so the signal gate
    // sees each reading and not just the first one.
    centralManager_->scanForPeripherals(std::vector { serviceUUID_ }, { .allowDuplicates = true, .showPowerAlert = true });
    return true;
}

void ReaderConnector::startScanDroppingErrors()
{
    try {
        startScan();
    } catch (const Error&) {
    }
}

bool ReaderConnector::isScanning() const
{
    return centralManager_->isScanning();
}

void ReaderConnector::stopScanning()
{
    doScan_ = false;
    if (discoveredPeripheral_)
        centralManager_->cancelPeripheralConnection(discoveredPeripheral_);
    centralManager_->stopScan();
}

void ReaderConnector::centralManagerDidUpdateState(platform::CentralManager& manager)
{
    if (manager.state() != platform::ManagerState::poweredOn)
        return;
    if (settings_.backgroundModeIsOn()) {
        startScanDroppingErrors();
        return;
    }
    stopScanning();
}

void ReaderConnector::centralManagerDidDiscover(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>& peripheral,
    const platform::AdvertisementData&, int rssi)
{
    auto threshold = rssiHelper_->thresholdFor(peripheral->identifier().uuidString());
    if (rssi < signalFloor(threshold, settings_.proximityLevel()) || rssi == platform::CentralManager::kRSSIUnavailable)
        return;
    discoveredPeripheral_ = peripheral;
    peripheral->setDelegate(this);
    centralManager_->stopScan();
    sendCount_ = 0;
    connection_->setConnectCheckFlag(true);
    centralManager_->connect(peripheral);
}

void ReaderConnector::centralManagerDidConnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&)
{
    queue_.sync([this] { makeConnectionPackets(); });
    queue_.sync([this] { discoverReaderServices(); });
}

void ReaderConnector::makeConnectionPackets()
{
    bleUUIDData_.clear();
    // Missing data make short payloads here; the characteristics step decides what is written.
    auto packets = reversedForConnection(buildAdvertisingPackets(card_.uid().value_or(""), card_.mid().value_or(""),
        card_.mobileKey().value_or(""), card_.crypto().timestampString()));
    bleUUIDData_[CardStrings::firstPayloadKey] = std::move(packets.first);
    bleUUIDData_[CardStrings::secondPayloadKey] = std::move(packets.second);
}

void ReaderConnector::discoverReaderServices()
{
    if (discoveredPeripheral_)
        discoveredPeripheral_->discoverServices(std::vector { serviceUUID_ });
}

void ReaderConnector::abandonConnection(const std::shared_ptr<platform::Peripheral>& reader)
{
    // Abandoned connections teach nothing: the round count is past the learning limit.
    sendCount_ = RSSIHelper::maxSendCount;
    centralManager_->cancelPeripheralConnection(reader);
}

void ReaderConnector::abandonLater(platform::Duration delay, const std::shared_ptr<platform::Peripheral>& reader)
{
    platform::DispatchQueue::main().asyncAfter(delay, [weakSelf = weak_from_this(), reader] {
        if (auto self = weakSelf.lock())
            self->abandonConnection(reader);
    });
}

void ReaderConnector::peripheralDidDiscoverServices(platform::Peripheral& peripheral, const std::optional<platform::BluetoothError>&)
{
    auto services = peripheral.services();
    if (!services)
        return;
    bool found = false;
    for (const auto& service : *services) {
        if (service->uuid() != serviceUUID_)
            continue;
        found = true;
        connection_->setDiscoverService(service);
        peripheral.readRSSI();
    }
    if (!found)
        abandonLater(kAbandonWithoutReaderService, peripheral.shared_from_this());
}

void ReaderConnector::peripheralDidReadRSSI(platform::Peripheral& peripheral, int rssi, const std::optional<platform::BluetoothError>&)
{
    currentDevice_ = peripheral.identifier().uuidString();
    currentRssi_ = rssi;
    auto deadline = platform::clock().monotonicNow() + kRediscoveryDelay;
    auto reader = peripheral.shared_from_this();
    for (int i = 0; i < RSSIHelper::maxSendCount; ++i) {
        // The blocks run on other threads: they see only the shared connection state.
        bleQueue_.asyncAfter(deadline - platform::clock().monotonicNow(), [connection = connection_, reader] {
            if (!connection->connectCheckFlag())
                return;
            if (auto service = connection->discoverService())
                reader->discoverCharacteristics(std::nullopt, service);
        });
    }
}

void ReaderConnector::peripheralDidDiscoverCharacteristics(platform::Peripheral& peripheral, const std::shared_ptr<platform::Service>& service,
    const std::optional<platform::BluetoothError>&)
{
    const auto& characteristics = service->characteristics();
    if (!characteristics)
        return;
    auto reader = peripheral.shared_from_this();
    const auto& first = bleUUIDData_[CardStrings::firstPayloadKey];
    const auto& second = bleUUIDData_[CardStrings::secondPayloadKey];
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
        if (characteristic->uuid() == character1UUID_)
            firstTarget = characteristic;
        if (characteristic->uuid() == character2UUID_)
            secondTarget = characteristic;
    }
    if (firstTarget && secondTarget) {
        peripheral.writeValue(first, firstTarget, platform::WriteType::withResponse);
        peripheral.writeValue(second, secondTarget, platform::WriteType::withResponse);
    }
    if (!firstTarget && !secondTarget)
        abandonLater(kAbandonWithoutReaderService, reader);
}

void ReaderConnector::peripheralDidWriteValue(platform::Peripheral& peripheral, const std::shared_ptr<platform::Characteristic>& characteristic,
    const std::optional<platform::BluetoothError>&)
{
    if (characteristic->uuid() == character1UUID_)
        writeCk1_ = true;
    if (characteristic->uuid() == character2UUID_)
        writeCk2_ = true;
    if (!writeCk1_ || !writeCk2_)
        return;
    // Only the first flag is cleared: from the second round on, the first
    // characteristic's acknowledgement completes a round.
    writeCk1_ = false;
    ++sendCount_;
    if (sendCount_ <= RSSIHelper::maxSendCount)
        peripheral.readRSSI();
    else if (connection_->connectCheckFlag())
        centralManager_->cancelPeripheralConnection(peripheral.shared_from_this());
}

void ReaderConnector::centralManagerDidFailToConnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&,
    const std::optional<platform::BluetoothError>&)
{
    if (discoveredPeripheral_)
        centralManager_->cancelPeripheralConnection(discoveredPeripheral_);
    connection_->setConnectCheckFlag(false);
    platform::DispatchQueue::main().asyncAfter(kRescanAfterFailure, [weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock())
            self->rescanIfIdle();
    });
}

void ReaderConnector::rescanIfIdle()
{
    if (!centralManager_->isScanning() && !connection_->connectCheckFlag())
        startScanDroppingErrors();
}

void ReaderConnector::centralManagerDidDisconnect(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>&,
    const std::optional<platform::BluetoothError>&)
{
    if (currentRssi_ != 0 && !currentDevice_.empty() && sendCount_ <= kLearningRounds)
        rssiHelper_->saveRssiHistory(currentDevice_, 25 - currentRssi_);
    currentRssi_ = 0;
    currentDevice_.clear();
    connection_->setConnectCheckFlag(false);
    discoveredPeripheral_.reset();
    platform::DispatchQueue::main().asyncAfter(kRescanAfterDisconnect, [weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock())
            self->rescanAfterDisconnect();
    });
}

void ReaderConnector::rescanAfterDisconnect()
{
    if (!centralManager_->isScanning() && !connection_->connectCheckFlag() && doScan_)
        startScanDroppingErrors();
}

} // namespace lumitrex
