// Runs the application's main job on the devstack: the outside services on
// 127.0.0.1, a main bundle pointing at them, and a walkthrough of the system
// end to end (or, with --serve, the services alone until interrupted).
#include "devstack/run/BundleWriter.h"
#include "devstack/run/DataFolder.h"
#include "devstack/run/DevstackServices.h"
#include "devstack/run/RunOptions.h"
#include "devstack/run/SiteCardKey.h"
#include "devstack/run/StopSignalWatcher.h"
#include "devstack/run/Walkthrough.h"

#include "platform/foundation/AppPaths.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

int serveUntilStopped(devstack::StopSignalWatcher& signals)
{
    platform::console("serving until Ctrl-C or SIGTERM");
    if (!signals.wasSignalled())
        platform::RunLoop::main().run();
    platform::console("stopping");
    return 0;
}

int walkThrough(const std::string& siteCardKey, devstack::StopSignalWatcher& signals)
{
    std::optional<bool> succeeded;
    devstack::WalkthroughSettings settings;
    settings.siteCardKey = siteCardKey;
    auto walkthrough = devstack::Walkthrough::make(settings);
    walkthrough->start([&](bool outcome) {
        succeeded = outcome;
        platform::RunLoop::main().stop();
    });
    if (!signals.wasSignalled())
        platform::RunLoop::main().run();
    if (!succeeded)
        platform::console("walkthrough: interrupted");
    return succeeded.value_or(false) ? 0 : 1;
}

int run(const devstack::RunOptions& options, devstack::StopSignalWatcher& signals)
{
    devstack::DataFolder dataFolder(options.dataFolder, options.keep);
    // Everything the application keeps (user defaults, keychain, documents)
    // stays inside this run's folder.
    platform::setDataRoot(dataFolder.path() / "data");

    devstack::DevstackServices services(dataFolder.path(), options.portBase);
    services.printAddresses();

    auto siteCardKey = devstack::makeSiteCardKey();
    auto bundle = devstack::BundleWriter(TOLVEN_RESOURCES_DIR).write(dataFolder.path() / "TOLVEN.app", services, siteCardKey);
    platform::Bundle::setMainBundlePath(bundle);
    platform::console("main bundle: " + bundle.string());
    platform::console(std::string("data folder: ") + dataFolder.path().string() + (dataFolder.isRemovedAtExit() ? " (removed at exit)" : ""));

    int status = options.serve ? serveUntilStopped(signals) : walkThrough(siteCardKey, signals);
    services.stop();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    std::string problem;
    auto options = devstack::RunOptions::parse(std::vector<std::string>(argv + 1, argv + argc), problem);
    if (!options) {
        std::cerr << "tolven-devstack: " << problem << "\n" << devstack::RunOptions::usage();
        return 2;
    }
    if (options->help) {
        std::cout << devstack::RunOptions::usage();
        return 0;
    }

    // Before any other thread starts, so that only the watcher takes the signals.
    devstack::StopSignalWatcher signals([] {
        platform::DispatchQueue::main().async([] { platform::RunLoop::main().stop(); });
        platform::RunLoop::main().stop();
    });
    try {
        return run(*options, signals);
    } catch (const std::exception& error) {
        std::cerr << "tolven-devstack: " << error.what() << "\n";
        return 1;
    }
}
