#include "devstack/radio/DoorReader.h"

#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/DispatchQueue.h"

#include <algorithm>

namespace devstack {

namespace {

using platform::BluetoothUUID;

const BluetoothUUID kReaderService = *BluetoothUUID::fromString("4f535452-4556-4f4d-6f62-696c65303030");
const BluetoothUUID kFirstCharacteristic = *BluetoothUUID::fromString("4f535452-4556-4f4d-6f62-696c65303031");
const BluetoothUUID kSecondCharacteristic = *BluetoothUUID::fromString("4f535452-4556-4f4d-6f62-696c65303032");

// A 128-bit identifier travels least-significant byte first: the reverse of its text order.
std::vector<std::uint8_t> onAirBytes(const BluetoothUUID& uuid)
{
    return std::vector<std::uint8_t>(uuid.data().rbegin(), uuid.data().rend());
}

bool isBcd(std::uint8_t byte)
{
    return (byte >> 4) <= 9 && (byte & 0x0F) <= 9;
}

std::optional<std::array<std::uint8_t, 8>> bcdTimestamp(const std::string& digits)
{
    if (digits.size() != 14)
        return std::nullopt;
    std::array<std::uint8_t, 8> ts8 {};
    for (std::size_t i = 0; i < 7; ++i)
        ts8[i + 1] = static_cast<std::uint8_t>((digits[2 * i] - '0') << 4 | (digits[2 * i + 1] - '0'));
    return ts8;
}

const char* channelName(AccessDecision::Channel channel)
{
    return channel == AccessDecision::Channel::advertisement ? "advertisement" : "connection";
}

} // namespace

DoorReader::DoorReader(platform::SimDevice& device, Configuration configuration)
    : device_(device)
    , configuration_(std::move(configuration))
    , cardKeyHex_(ReaderCrypto::decryptCardKey(configuration_.cardKey))
{
}

DoorReader::~DoorReader()
{
    stop();
}

void DoorReader::start()
{
    if (running_)
        return;
    running_ = true;
    if (configuration_.mode == Mode::connection) {
        device_.hostGattServer({ platform::SimGattService { kReaderService, true,
                                   { { kFirstCharacteristic, platform::characteristicPropertyWrite },
                                       { kSecondCharacteristic, platform::characteristicPropertyWrite } } } },
            this);
        device_.advertise(platform::AdvertisementData { "Reader", { kReaderService } });
        return;
    }
    central_ = device_.makeCentralManager();
    central_->setDelegate(this);
    startScanning();
}

void DoorReader::stop()
{
    if (!running_)
        return;
    running_ = false;
    if (configuration_.mode == Mode::connection) {
        device_.advertise(std::nullopt);
        device_.stopHostingGattServer();
        links_.clear();
    }
    central_.reset();
    heard_.clear();
}

void DoorReader::startScanning()
{
    if (central_ && central_->state() == platform::ManagerState::poweredOn)
        central_->scanForPeripherals(std::nullopt, { .allowDuplicates = true });
}

void DoorReader::centralManagerDidUpdateState(platform::CentralManager&)
{
    startScanning();
}

void DoorReader::centralManagerDidDiscover(platform::CentralManager&, const std::shared_ptr<platform::Peripheral>& peripheral,
    const platform::AdvertisementData& advertisement, int)
{
    if (!advertisement.localName || advertisement.serviceUUIDs.size() != 1)
        return;
    auto& phone = heard_[peripheral->identifier()];
    const auto& identifier = advertisement.serviceUUIDs.front();
    if (*advertisement.localName == "Vond1") {
        phone.first = identifier;
        return;
    }
    if (*advertisement.localName != "Vond2" || !phone.first)
        return;
    std::pair pair { *phone.first, identifier };
    if (phone.checked == pair)
        return;
    phone.checked = pair;
    report(check(onAirBytes(pair.first), onAirBytes(pair.second), AccessDecision::Channel::advertisement));
}

std::optional<platform::BluetoothError> DoorReader::didReceiveWrite(platform::SimDevice& central, const BluetoothUUID& characteristic,
    const std::vector<std::uint8_t>& value)
{
    auto& link = links_[&central];
    if (characteristic == kFirstCharacteristic)
        link.first = value;
    else if (characteristic == kSecondCharacteristic)
        link.second = value;
    else
        return platform::BluetoothError { 3, "Writing is not permitted." };
    if (link.decided || !link.first || !link.second)
        return std::nullopt;
    link.decided = true;
    report(check(*link.first, *link.second, AccessDecision::Channel::connection));
    // Done with this phone: let the acknowledgement go out, then hang up.
    platform::DispatchQueue::main().async([air = device_.air().shared_from_this(), reader = &device_, phone = &central] {
        air->dropLinks(*reader, *phone);
    });
    return std::nullopt;
}

void DoorReader::linkClosed(platform::SimDevice& central)
{
    links_.erase(&central);
}

AccessDecision DoorReader::check(const std::vector<std::uint8_t>& firstOnAir, const std::vector<std::uint8_t>& secondOnAir, AccessDecision::Channel channel) const
{
    AccessDecision decision;
    decision.channel = channel;
    if (firstOnAir.size() != 16 || secondOnAir.size() != 16) {
        decision.reason = "malformed identifier";
        return decision;
    }
    std::vector<std::uint8_t> p1(firstOnAir.rbegin(), firstOnAir.rend());
    Block e3;
    std::copy(secondOnAir.rbegin(), secondOnAir.rend(), e3.begin());

    std::array<std::uint8_t, 8> uid8;
    std::copy_n(p1.begin(), 8, uid8.begin());
    if (std::any_of(uid8.begin(), uid8.end(), [](std::uint8_t byte) { return byte > 99; })) {
        decision.reason = "card number is not decimal";
        return decision;
    }
    for (auto byte : uid8) {
        decision.cardNumber += static_cast<char>('0' + byte / 10);
        decision.cardNumber += static_cast<char>('0' + byte % 10);
    }

    std::array<std::uint8_t, 8> ts8;
    std::copy_n(p1.begin() + 8, 8, ts8.begin());
    std::string digits;
    for (std::size_t i = 1; i < 8; ++i) {
        digits += static_cast<char>('0' + (ts8[i] >> 4));
        digits += static_cast<char>('0' + (ts8[i] & 0x0F));
    }
    auto cardTime = ts8[0] == 0 && std::all_of(ts8.begin(), ts8.end(), isBcd) ? timestampFormat_.date(digits) : std::nullopt;
    if (!cardTime) {
        decision.reason = "malformed timestamp";
        return decision;
    }
    if (!cardKeyHex_) {
        decision.reason = "the site's card key does not decrypt";
        return decision;
    }

    // A phone builds its second identifier up to one tick later, possibly in the next second.
    auto nextSecond = bcdTimestamp(timestampFormat_.string(*cardTime + std::chrono::seconds(1)));
    bool genuine = ReaderCrypto::expectedE3(uid8, configuration_.siteNumber, ts8, *cardKeyHex_) == e3
        || (nextSecond && ReaderCrypto::expectedE3(uid8, configuration_.siteNumber, *nextSecond, *cardKeyHex_) == e3);
    if (!genuine) {
        decision.reason = "second identifier does not match the card";
        return decision;
    }

    auto skew = std::chrono::duration_cast<std::chrono::seconds>(platform::clock().now() - *cardTime);
    if (std::chrono::abs(skew) > configuration_.allowedClockSkew) {
        decision.reason = "timestamp " + digits + " is " + std::to_string(skew.count()) + " s off the reader's clock (replayed?)";
        return decision;
    }
    decision.granted = true;
    return decision;
}

void DoorReader::report(AccessDecision decision)
{
    std::string line = "DoorReader " + device_.name() + ": " + (decision.granted ? "granted" : "refused") + " card "
        + (decision.cardNumber.empty() ? "?" : decision.cardNumber) + " via " + channelName(decision.channel);
    if (!decision.granted)
        line += ": " + decision.reason;
    platform::console(line);
    decisions_.push_back(decision);
    if (observer_)
        observer_(decisions_.back());
}

} // namespace devstack
