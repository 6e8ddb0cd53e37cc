#pragma once

#include "TOLVEN/AppDelegate.h"
#include "TOLVEN/ApplicationClasses.h"
#include "devstack/radio/ReaderCrypto.h"
#include "lumitrex/MobileCard.h"
#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/testing/Seams.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/interface/ClassRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tolven::testing {

using namespace std::chrono_literals;

inline constexpr const char* kCardNumber = "1234567890123456";

// The phone of every test in this process: the access card is made once per
// process and keeps the radio it was made with.
inline platform::SimDevice& simulatedPhone()
{
    static auto air = platform::SimAir::make();
    static platform::SimDevice& phone = air->addDevice("phone");
    return phone;
}

// The application's bundle (its Info.plist and storyboard) in a test
// environment, the simulated phone as the radio, and the console captured.
class ShellTest : public ::testing::Test {
protected:
    ShellTest()
    {
        auto info = platform::readPropertyListFile(std::filesystem::path(TOLVEN_RESOURCES_FOLDER) / "Info.plist");
        for (const auto& [key, value] : *info->get<platform::PlistValue::Dictionary>())
            env.setInfoValue(key, value);
        env.setInfoValue("Mobile Card Key", devstack::ReaderCrypto::makeCardKey("00112233445566778899aabbccddeeff"));
        std::filesystem::copy_file(std::filesystem::path(TOLVEN_RESOURCES_FOLDER) / "Main.storyboard.json",
            env.bundleFolder() / "Main.storyboard.json");
        platform::BluetoothRadio::install(&simulatedPhone());
        simulatedPhone().setBluetoothState(platform::ManagerState::poweredOn);
        platform::ui::resetApplicationForTesting();
        platform::ui::resetScreenForTesting();
        registerApplicationClasses();
        platform::setConsoleSinkForTesting([this](std::string_view line) { console.emplace_back(line); });
    }

    ~ShellTest() override
    {
        lumitrex::MobileCard::sharedInstance().stopAdvertising();
        platform::ui::resetApplicationForTesting();
        env.runUntilIdle();
        platform::setConsoleSinkForTesting({});
        platform::BluetoothRadio::install(nullptr);
    }

    void launch(std::vector<std::string> urls = {})
    {
        appDelegate = std::make_shared<AppDelegate>();
        platform::ui::Application::shared().launch(appDelegate, { std::move(urls) });
        env.runUntilIdle();
    }

    void simulateBluetoothState(platform::ManagerState state)
    {
        simulatedPhone().setBluetoothState(state);
        env.runUntilIdle();
    }

    bool phoneAdvertises() const { return simulatedPhone().advertisement().has_value(); }

    std::size_t count(const std::string& line) const { return static_cast<std::size_t>(std::count(console.begin(), console.end(), line)); }

    platform::TestEnvironment env;
    std::shared_ptr<AppDelegate> appDelegate;
    std::vector<std::string> console;
};

} // namespace tolven::testing
