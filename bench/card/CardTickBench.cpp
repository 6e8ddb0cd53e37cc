// One advertising tick (stop, advertise, rebuild both packets) and one
// signal-gate decision. Target: a tick under 5 microseconds of CPU.
#include "card/MobileCardEngine.h"
#include "devstack/radio/ReaderCrypto.h"
#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/location/LocationServices.h"

#include <benchmark/benchmark.h>

namespace {

using namespace std::chrono_literals;

// A phone alone on the air, in virtual time, with card data set.
struct Phone {
    platform::TestEnvironment env;
    std::shared_ptr<platform::SimAir> air = platform::SimAir::make();
    platform::SimDevice& device = air->addDevice("phone");
    std::shared_ptr<lumitrex::MobileCardEngine> card;

    Phone()
    {
        platform::BluetoothRadio::install(&device);
        platform::LocationServices::install(&device);
        env.setInfoValue("Mobile Card Key", devstack::ReaderCrypto::makeCardKey("00112233445566778899aabbccddeeff"));
        card = lumitrex::MobileCardEngine::create();
        env.runUntilIdle();
        card->setData("1234567890123456", "1234567890123456", std::nullopt);
    }

    ~Phone()
    {
        card.reset();
        platform::BluetoothRadio::install(nullptr);
        platform::LocationServices::install(nullptr);
    }
};

// A reader as the gate sees it; the gate reads only its identifier.
class StubReader final : public platform::Peripheral {
public:
    platform::BluetoothUUID identifier() const override { return *platform::BluetoothUUID::fromString("514DDE71-CE00-4000-8000-000000000002"); }
    void setDelegate(platform::PeripheralDelegate*) override { }
    platform::PeripheralDelegate* delegate() const override { return nullptr; }
    std::optional<std::vector<std::shared_ptr<platform::Service>>> services() const override { return std::nullopt; }
    void discoverServices(std::optional<std::vector<platform::BluetoothUUID>>) override { }
    void discoverCharacteristics(std::optional<std::vector<platform::BluetoothUUID>>, std::shared_ptr<platform::Service>) override { }
    void readRSSI() override { }
    void writeValue(std::vector<std::uint8_t>, std::shared_ptr<platform::Characteristic>, platform::WriteType) override { }
};

void advertisingTick(benchmark::State& state)
{
    Phone phone;
    phone.card->startAdvertising();
    for (auto _ : state) {
        phone.card->advertiser().sendAdvertisingPacket();
        // A tick every 0.3 s: the packets' timestamp moves as on a phone.
        phone.env.manualClock().advance(300ms);
    }
    benchmark::DoNotOptimize(phone.card->advertiser().secondIdentifier());
}
BENCHMARK(advertisingTick);

void signalGateDecision(benchmark::State& state)
{
    Phone phone;
    auto reader = std::make_shared<StubReader>();
    platform::AdvertisementData advertisement { "Reader", {} };
    for (auto _ : state)
        // Weaker than any threshold: judged and ignored, as most advertisements are.
        phone.card->readerConnector().centralManagerDidDiscover(phone.card->readerConnector().centralManager(), reader, advertisement, -90);
}
BENCHMARK(signalGateDecision);

} // namespace

BENCHMARK_MAIN();
