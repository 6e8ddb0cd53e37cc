// The engine advertising on the real clock with nothing else to do. Reports
// CPU time over wall time and wake-ups per second (voluntary context switches
// of the whole process). Targets: about 3.3 wake-ups a second, one per tick,
// and CPU time under 0.1 % of wall time.
//
// Usage: card_idle_bench [--seconds=N]   (default 30)
#include "card/MobileCardEngine.h"
#include "devstack/radio/ReaderCrypto.h"
#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/bluetooth/sim/SimAir.h"
#include "platform/bluetooth/sim/SimDevice.h"
#include "platform/foundation/AppPaths.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/RunLoop.h"
#include "platform/location/LocationServices.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct Usage {
    double cpuSeconds;
    long voluntarySwitches;
};

Usage usageNow()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return { seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_nvcsw };
}

} // namespace

int main(int argc, char** argv)
{
    int seconds = 30;
    for (int i = 1; i < argc; ++i)
        if (std::string argument = argv[i]; argument.starts_with("--seconds="))
            seconds = std::max(1, std::atoi(argument.c_str() + 10));

    std::string pattern = (std::filesystem::temp_directory_path() / "card-idle-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return 1;
    std::filesystem::path root = pattern;
    std::filesystem::create_directories(root / "bundle");
    platform::setDataRoot(root / "data");
    platform::PlistValue::Dictionary info { { "CFBundleIdentifier", "com.brantwick.tolven.bench" },
        { "Mobile Card Key", devstack::ReaderCrypto::makeCardKey("00112233445566778899aabbccddeeff") } };
    platform::writeFileAtomically(root / "bundle" / "Info.plist", platform::serializePropertyList(info));
    platform::Bundle::setMainBundlePath(root / "bundle");

    auto air = platform::SimAir::make();
    auto& phone = air->addDevice("phone");
    platform::BluetoothRadio::install(&phone);
    platform::LocationServices::install(&phone);
    int advertisements = 0;
    phone.setAdvertisementObserver([&](const auto& advertisement) { advertisements += advertisement ? 1 : 0; });

    auto card = lumitrex::MobileCardEngine::create();
    card->setData("1234567890123456", "1234567890123456", std::nullopt);
    // Let the managers look at the radio before advertising starts.
    platform::RunLoop::main().runFor(std::chrono::milliseconds(50));
    card->startAdvertising();

    auto wallStart = std::chrono::steady_clock::now();
    auto before = usageNow();
    platform::RunLoop::main().runFor(std::chrono::seconds(seconds));
    auto after = usageNow();
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    card->stopAdvertising();

    double cpu = after.cpuSeconds - before.cpuSeconds;
    long wakeUps = after.voluntarySwitches - before.voluntarySwitches;
    std::printf("wall %.2f s, advertisements %d (%.2f/s)\n", wall, advertisements, advertisements / wall);
    std::printf("CPU %.4f s = %.4f %% of wall (target < 0.1 %%)\n", cpu, 100.0 * cpu / wall);
    std::printf("wake-ups %ld = %.2f/s (target about 3.3/s, one per tick)\n", wakeUps, wakeUps / wall);

    card.reset();
    platform::BluetoothRadio::install(nullptr);
    platform::LocationServices::install(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return 0;
}
