// The engine on the production scheduler: real threads, the concurrent
// "BLEQueue" and the main run loop. Meant for the ThreadSanitizer build; the
// tests wait for events and measure no time.
#include "card/MobileCardEngine.h"
#include "card/tests/ScriptedReader.h"
#include "common/LibrarySuite.h"
#include "devstack/radio/ReaderCrypto.h"
#include "lumitrex/MobileCard.h"
#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/foundation/AppPaths.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/RunLoop.h"
#include "platform/location/LocationServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>
#include <vector>

namespace lumitrex::testing {
namespace {

using namespace std::chrono_literals;

// A private data folder and a main bundle with background mode switched on.
class RealThreads : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumitrex-threads-XXXXXX").string();
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        root() = pattern;
        std::filesystem::create_directories(root() / "bundle");
        platform::setDataRoot(root() / "data");
        platform::PlistValue::Dictionary info { { "CFBundleIdentifier", "com.brantwick.tolven.threads" },
            { "MobileCard Background Mode Activate", true } };
        platform::writeFileAtomically(root() / "bundle" / "Info.plist", platform::serializePropertyList(info));
        platform::Bundle::setMainBundlePath(root() / "bundle");
    }

    static void TearDownTestSuite()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root(), ignored);
    }

    static std::filesystem::path& root()
    {
        static std::filesystem::path path;
        return path;
    }
};

TEST_F(RealThreads, SharedInstanceIsMadeOnceUnderConcurrentFirstUse)
{
    std::vector<std::thread> threads;
    std::vector<MobileCard*> seen(8);
    for (std::size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = &MobileCard::sharedInstance(); });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(std::set<MobileCard*>(seen.begin(), seen.end()).size(), 1u);
}

TEST_F(RealThreads, CentralCycleRunsItsRoundsWithTheConcurrentRediscoveries)
{
    auto air = platform::SimAir::make({ .advertisingInterval = 10ms, .connectionDelay = 2ms, .requestDelay = 1ms, .rangingInterval = 1s });
    auto& phone = air->addDevice("phone");
    auto& readerDevice = air->addDevice("reader");
    ScriptedReader reader(readerDevice);
    reader.host();
    air->setSignalStrength(phone, readerDevice, -60);
    platform::BluetoothRadio::install(&phone);
    platform::LocationServices::install(&phone);
    librarySuite()->setBool("bg_mode", true);

    bool disconnected = false;
    reader.onLinkClosed = [&] {
        disconnected = true;
        platform::RunLoop::main().stop();
    };
    {
        auto engine = MobileCardEngine::create();
        engine->setData("1234567890123456", "1234567890123456", devstack::ReaderCrypto::makeCardKey("00112233445566778899aabbccddeeff"));
        // Powering on starts the scan; the cycle ends when the reader's link closes.
        platform::RunLoop::main().runFor(60s);
        EXPECT_TRUE(disconnected);
        EXPECT_EQ(engine->readerConnector().sendCount(), 21);
        EXPECT_GE(std::count_if(reader.writes.begin(), reader.writes.end(), [](const auto& write) { return write.first == kFirstCharacteristic; }), 21);
        engine->stopBackgroundRunning();
    }
    platform::BluetoothRadio::install(nullptr);
    platform::LocationServices::install(nullptr);
}

} // namespace
} // namespace lumitrex::testing
