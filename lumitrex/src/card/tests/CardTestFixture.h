#pragma once

#include "card/MobileCardEngine.h"
#include "devstack/radio/ReaderCrypto.h"
#include "lumitrex/Error.h"
#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimCentralManager.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/bluetooth/sim/SimPeripheralManager.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/location/LocationServices.h"
#include "platform/location/sim/SimLocationManager.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumitrex::testing {

using namespace std::chrono_literals;

inline constexpr const char* kCardNumber = "1234567890123456";
inline constexpr const char* kCardKeyHex = "00112233445566778899aabbccddeeff";

inline const std::string& siteCardKey()
{
    static const std::string key = devstack::ReaderCrypto::makeCardKey(kCardKeyHex);
    return key;
}

// Puts card data in states that setData never leaves.
struct CardDataAccess {
    static void setMobileKey(CardData& data, std::optional<std::string> mkey) { data.mkey_ = std::move(mkey); }
    static void replace(CardData& data, std::string uid, std::string mid, std::string mkey)
    {
        data.uid_ = std::move(uid);
        data.mid_ = std::move(mid);
        data.mkey_ = std::move(mkey);
    }
};

// Runs `call` and returns the error code it threw, or nothing.
template<typename Call>
std::optional<std::error_code> thrownBy(Call&& call)
{
    try {
        call();
    } catch (const Error& error) {
        return error.code();
    }
    return std::nullopt;
}

// A phone on a simulated air with the engine under test. The host
// configuration holds the site's card key and, when asked, the background
// switch; the engine is made by makeCard() once the test has set things up.
class CardTest : public ::testing::Test {
protected:
    explicit CardTest(platform::WallClockTime start = platform::TestEnvironment::defaultStart())
        : env(start)
    {
        platform::BluetoothRadio::install(&phone);
        platform::LocationServices::install(&phone);
        env.setInfoValue("Mobile Card Key", siteCardKey());
        phone.setAdvertisementObserver([this](const std::optional<platform::AdvertisementData>& advertisement) {
            if (advertisement)
                advertised.push_back(*advertisement);
        });
        platform::setConsoleSinkForTesting([this](std::string_view line) { console.emplace_back(line); });
    }

    ~CardTest() override
    {
        card.reset();
        platform::setConsoleSinkForTesting({});
        platform::BluetoothRadio::install(nullptr);
        platform::LocationServices::install(nullptr);
    }

    MobileCardEngine& makeCard(bool backgroundModeConfigured = false)
    {
        if (backgroundModeConfigured)
            env.setInfoValue("MobileCard Background Mode Activate", true);
        card = MobileCardEngine::create();
        env.runUntilIdle();
        return *card;
    }

    MobileCardEngine& makeCardWithData(bool backgroundModeConfigured = false)
    {
        makeCard(backgroundModeConfigured);
        card->setData(kCardNumber, kCardNumber, std::nullopt);
        return *card;
    }

    platform::SimCentralManager& central() { return static_cast<platform::SimCentralManager&>(card->readerConnector().centralManager()); }
    platform::SimLocationManager& location() { return static_cast<platform::SimLocationManager&>(card->beaconWatcher().locationManager()); }

    void simulateBluetoothState(platform::ManagerState state)
    {
        phone.setBluetoothState(state);
        env.runUntilIdle();
    }

    platform::TestEnvironment env;
    std::shared_ptr<platform::SimAir> air = platform::SimAir::make();
    platform::SimDevice& phone = air->addDevice("phone");
    std::vector<platform::AdvertisementData> advertised;
    std::vector<std::string> console;
    std::shared_ptr<MobileCardEngine> card;
};

} // namespace lumitrex::testing
